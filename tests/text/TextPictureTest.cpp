// Text drawn through the text host into a drawing context, compared with
// reviewed reference pictures in tests/text/data. Each box is outlined in
// light blue by the drawing context, so the pictures show whether the text
// sits inside its box.
#include "TextRootTestSupport.h"

#include "ReferenceImage.h"

#include <gtest/gtest.h>

namespace {

const PAFont* comic(int size)
{
    return PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), size, 0u);
}

CAttributedString styledRuns()
{
    struct Piece
    {
        const char* text;
        const PAFont* font;
        PackedColor color;
    };
    const Piece pieces[] = {
        {"Plain, ", verdana(12), kOpaqueBlack},
        {"bold, ", verdana(12, PAFont::FontStyleBold), kOpaqueBlack},
        {"italic, ", verdana(12, PAFont::FontStyleItalic), kOpaqueBlack},
        {"red, ", verdana(12), packColor(210, 20, 20)},
        {"underlined", verdana(12, PAFont::FontStyleUnderline), kOpaqueBlack},
        {" and ", verdana(12), kOpaqueBlack},
        {"struck", verdana(12, PAFont::FontStyleStrikeOut), packColor(20, 110, 30)},
        {". H", verdana(12), kOpaqueBlack},
        {"2", verdana(12, PAFont::FontStyleSubscript), kOpaqueBlack},
        {"O and x", verdana(12), kOpaqueBlack},
        {"2", verdana(12, PAFont::FontStyleSuperscript), kOpaqueBlack},
        {" in ", verdana(12), kOpaqueBlack},
        {"BIG", verdana(22, PAFont::FontStyleBold), packColor(30, 60, 200)},
        {" and comic ", verdana(12), kOpaqueBlack},
        {"LETTERS!", comic(16), kOpaqueBlack},
    };
    CAttributedString text;
    for (const Piece& piece : pieces)
        text.appendString(QString::fromUtf8(piece.text), piece.font, piece.color, TextAlignment::Left);
    return text;
}

CAttributedString alignments()
{
    CAttributedString text;
    text.appendString(QStringLiteral("Left aligned words\n"), verdana(11), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("Centred words\n"), verdana(11), kOpaqueBlack, TextAlignment::Center);
    text.appendString(QStringLiteral("Right aligned words"), verdana(11), kOpaqueBlack, TextAlignment::Right);
    return text;
}

CAttributedString tabbedTable()
{
    ParagraphFormat columns;
    columns.mask |= ParagraphFormat::TabStops;
    columns.addTabStop(TabStop{90 * kTwipsPerUnit, TabStop::Left});
    columns.addTabStop(TabStop{150 * kTwipsPerUnit, TabStop::Center});
    columns.addTabStop(TabStop{220 * kTwipsPerUnit, TabStop::Right});
    columns.addTabStop(TabStop{260 * kTwipsPerUnit, TabStop::Decimal});
    CharacterFormat character = characterFormatOfFont(verdana(10));
    CAttributedString text;
    text.appendString(QStringLiteral("Name\tKind\tQty\tRight\tPrice\n"), character, columns);
    text.appendString(QStringLiteral("Apples\tfruit\t3\tr\t1.25\n"), character, columns);
    text.appendString(QStringLiteral("Pears\tfruit\t120\tright\t10.5\n"), character, columns);
    ParagraphFormat plain;
    text.appendString(QStringLiteral("default\ttabs\tevery\t48"), character, plain);
    return text;
}

CAttributedString longText(int size = 11)
{
    return CAttributedString(
        QStringLiteral("It was a dark and stormy night; the rain fell in torrents, except at occasional "
                       "intervals, when it was checked by a violent gust of wind which swept up the streets."),
        verdana(size), kOpaqueBlack);
}

QImage styledAndAligned(float zoom, int width, int height)
{
    PATextRootWindow root;
    Canvas canvas(width, height, zoom);
    drawTextBox(root, styledRuns(), Rect(6, 6, 200, 90));
    drawTextBox(root, alignments(), Rect(214, 6, 120, 56));
    return canvas.image();
}

TEST(TextPicture, StyledRunsAndAlignment)
{
    EXPECT_TRUE(matchesReference(styledAndAligned(1, 340, 100), QStringLiteral("text_styled_runs")));
}

TEST(TextPicture, StyledRunsAtZoomFour)
{
    EXPECT_TRUE(matchesReference(styledAndAligned(4, 1360, 400), QStringLiteral("text_styled_runs_zoom4")));
}

TEST(TextPicture, TabStops)
{
    PATextRootWindow root;
    Canvas canvas(300, 80);
    drawTextBox(root, tabbedTable(), Rect(6, 6, 288, 68));
    EXPECT_TRUE(matchesReference(canvas.image(), QStringLiteral("text_tabs")));
}

// Wrapped text in a wide box, in a narrow one, and in one too low for it:
// the last shows only the lines that fit.
TEST(TextPicture, WrappingAndCutting)
{
    PATextRootWindow root;
    Canvas canvas(330, 150);
    drawTextBox(root, longText(), Rect(6, 6, 150, 138));
    drawTextBox(root, longText(), Rect(164, 6, 70, 138));
    drawTextBox(root, longText(), Rect(242, 6, 82, 40));
    EXPECT_TRUE(matchesReference(canvas.image(), QStringLiteral("text_wrapping")));
}

// Boxes turned by 30 degrees about their centres at zoom 1 and zoom 4: the
// text turns with its outline.
TEST(TextPicture, RotatedThirtyDegrees)
{
    for (const float zoom : {1.0f, 4.0f}) {
        PATextRootWindow root;
        Canvas canvas(int(265 * zoom), int(175 * zoom), zoom);
        drawTextBox(root, alignments(), Rect(20, 30, 120, 56), 30);
        drawTextBox(root, longText(9), Rect(150, 90, 100, 60), -30);
        EXPECT_TRUE(matchesReference(canvas.image(), QStringLiteral("text_rotated30_zoom%1").arg(int(zoom))))
            << "zoom " << zoom;
    }
}

} // namespace
