// Measuring and drawing through the text host: line heights and wrapping,
// the same layout at every scale, labels, the layout cache, and what the
// painting touches (overhang, clip, translucent backgrounds, rotation).
#include "TextRootTestSupport.h"

#include "NSBezierPath.h"
#include "PAFontRendering.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

CAttributedString plain(const QString& text, int size = 12)
{
    return CAttributedString(text, verdana(size), kOpaqueBlack);
}

float measuredHeight(PATextRootWindow& root, const CAttributedString& text, float width, float height = 500)
{
    root.setFrame(Rect(0, 0, width, height), 0);
    root.setLayoutSize(Size{width, height});
    root.setText(text);
    return root.usedTextRect().height();
}

const QString kStory = QStringLiteral(
    "It was a dark and stormy night; the rain fell in torrents, except at occasional intervals, when it was "
    "checked by a violent gust of wind.");

TEST(TextRoot, LinesAreTwelveTenthsOfTheirNaturalHeight)
{
    PATextRootWindow root;
    const float line = measuredHeight(root, plain(QStringLiteral("Hello")), 200);
    const float cell = float(QFontMetricsF(PAFontRendering::qtFont(verdana(12))).height());
    EXPECT_NEAR(line, 1.2f * cell, 1.2f) << "one line is 1.2 of the font's line height (rounded up)";
    EXPECT_NEAR(measuredHeight(root, plain(QStringLiteral("Hello"), 24), 200), 2 * line, 1.5f);

    const Rect used = root.usedTextRect();
    EXPECT_EQ(used.x(), 0);
    EXPECT_EQ(used.y(), 0);
    EXPECT_EQ(used.width(), 200);
}

TEST(TextRoot, CountsLinesOfKnownStrings)
{
    struct Case
    {
        const char* text;
        float width;
        int lines;
    };
    const Case cases[] = {
        {"Hello", 200, 1},
        {"Hello world", 200, 1},
        {"Hello world", 50, 2},                  // breaks between the words
        {"a\nb\nc", 200, 3},                      // paragraphs
        {"trailing\n", 200, 2},                   // an empty last paragraph is a line
        {"Unbreakablelongwordhere", 40, 5},       // a word wider than the box breaks anywhere
        {"tab\tstop\tdefault", 200, 1},
    };
    PATextRootWindow root;
    const float line = measuredHeight(root, plain(QStringLiteral("Hello")), 200);
    for (const Case& c : cases) {
        const float height = measuredHeight(root, plain(QString::fromUtf8(c.text)), c.width);
        EXPECT_FLOAT_EQ(height, c.lines * line) << c.text << " at width " << c.width;
    }
}

// Tab positions are stored in twips, 20 to the page unit; without stops
// tabs fall every 48 units.
TEST(TextRoot, TabsLandWhereTheirStopsSay)
{
    struct Case
    {
        const char* what;
        std::int32_t twips;      // 0: no stop
        TabStop::Kind kind;
        const char* text;
        float expectedLeft;      // of the ink after the tab, units from the box; < 0: not checked
        float expectedRight;
    };
    const Case cases[] = {
        {"default distance", 0, TabStop::Left, "\tI", 48, -1},
        {"second default", 0, TabStop::Left, "\t\tI", 96, -1},
        {"left stop", 100 * kTwipsPerUnit, TabStop::Left, "\tI", 100, -1},
        {"right stop", 150 * kTwipsPerUnit, TabStop::Right, "\tII", -1, 150},
        {"past the last stop", 30 * kTwipsPerUnit, TabStop::Left, "\t\tI", 48, -1},
    };
    for (const Case& c : cases) {
        ParagraphFormat paragraph;
        if (c.twips > 0) {
            paragraph.mask |= ParagraphFormat::TabStops;
            paragraph.addTabStop(TabStop{c.twips, c.kind});
        }
        CAttributedString text;
        text.appendString(QString::fromUtf8(c.text), characterFormatOfFont(verdana(20)), paragraph);
        PATextRootWindow root;
        Canvas canvas(240, 50);
        drawTextBox(root, text, Rect(10, 10, 220, 30), 0, false);
        const QRect ink = inkBounds(canvas.image(), 0xFFFFFFFFu, 100);
        ASSERT_FALSE(ink.isEmpty()) << c.what;
        // The stem of an I sits about 3 units inside its advance.
        if (c.expectedLeft >= 0) {
            EXPECT_NEAR(ink.left() - 10, c.expectedLeft + 3, 2.5) << c.what;
        }
        if (c.expectedRight >= 0) {
            EXPECT_NEAR(ink.right() + 1 - 10, c.expectedRight - 3, 2.5) << c.what;
        }
    }
}

// Text read from a file may hold anything: control characters, the
// engine's own frame markers, object replacement characters, lone
// surrogates, very long words. It lays out and draws without harm.
TEST(TextRoot, HostileTextLaysOutWithoutHarm)
{
    const QString samples[] = {
        QString(QChar(0)) + QStringLiteral("nul\x01\x1f"),
        QStringLiteral("frames \uFDD0\uFDD1 and \uFFFC objects"),
        QString(QChar(0xD800)) + QStringLiteral("lone") + QChar(0xDC00),
        QStringLiteral("\r\n\r\u2028\u2029\f\v"),
        QStringLiteral("W").repeated(5000),
        QStringLiteral("\t").repeated(300),
    };
    PATextRootWindow root;
    for (const QString& sample : samples) {
        Canvas canvas(120, 80, 2);
        CAttributedString text(sample, verdana(12, PAFont::FontStyleSuperscript), kOpaqueBlack);
        drawTextBox(root, text, Rect(5, 5, 50, 30), 45, false);
        EXPECT_GE(root.usedTextRect().height(), 0);
    }
    // A turned frame, or a point, that is no number draws nothing.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Canvas canvas(120, 80);
    const QImage before = canvas.image();
    root.setFrame(Rect(nan, 0, 10, 10), 30);
    root.setLayoutSize(Size{50, 30});
    root.setText(plain(QStringLiteral("Hi")));
    root.drawAt(Point{5, 5});
    root.setFrame(Rect(0, 0, 10, 10), nan);
    root.drawAt(Point{5, nan});
    EXPECT_EQ(canvas.image(), before);
}

TEST(TextRoot, EmptyTextMeasuresOneLineOfTheDefaultFont)
{
    PATextRootWindow root;
    const float empty = measuredHeight(root, CAttributedString(), 100);
    const float defaultLine = measuredHeight(
        root,
        CAttributedString(QStringLiteral("x"),
                          PAFont::fontWithFamily(QString::fromUtf16(PAFont::DefaultTextFamily),
                                                 PATextRootWindow::kDefaultFontSize),
                          kOpaqueBlack),
        100);
    EXPECT_FLOAT_EQ(empty, defaultLine);
}

TEST(TextRoot, LayoutSizeIsRoundedUpAndKeptSane)
{
    struct Case
    {
        Size size;
        std::int32_t width, height;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {{10.2f, 5.1f}, 11, 6},
        {{96, 30}, 96, 30},
        {{-5, nan}, 0, 0},
        {{inf, 3e9f}, 0, 1000000},
    };
    PATextRootWindow root;
    for (const Case& c : cases) {
        root.setLayoutSize(c.size);
        EXPECT_EQ(root.layoutWidth(), c.width) << c.size.width;
        EXPECT_EQ(root.layoutHeight(), c.height) << c.size.height;
        EXPECT_TRUE(root.wraps());
    }
}

// Layout is in page units: the zoom and the output resolution change how
// big the text is painted, never where lines break.
TEST(TextRoot, SameLayoutAtEveryScale)
{
    const Rect box(10, 10, 120, 90);
    QRect inkAtOne;
    float heightAtOne = 0;
    for (const float zoom : {1.0f, 2.0f, 4.0f, 300.0f / 72.0f}) {
        PATextRootWindow root;
        Canvas canvas(int(std::ceil(140 * zoom)), int(std::ceil(110 * zoom)), zoom);
        drawTextBox(root, plain(kStory, 10), box, 0, false);
        EXPECT_FLOAT_EQ(root.scale().width, zoom);
        const float height = root.usedTextRect().height();
        const QRect ink = inkBounds(canvas.image());
        ASSERT_FALSE(ink.isEmpty());
        if (zoom == 1.0f) {
            heightAtOne = height;
            inkAtOne = ink;
            continue;
        }
        EXPECT_EQ(height, heightAtOne) << "zoom " << zoom;
        EXPECT_NEAR(ink.left() / zoom, inkAtOne.left(), 1.0) << "zoom " << zoom;
        EXPECT_NEAR(ink.top() / zoom, inkAtOne.top(), 1.0) << "zoom " << zoom;
        EXPECT_NEAR((ink.right() + 1) / zoom, inkAtOne.right() + 1, 1.0) << "zoom " << zoom;
        EXPECT_NEAR((ink.bottom() + 1) / zoom, inkAtOne.bottom() + 1, 1.0) << "zoom " << zoom;
    }
}

TEST(TextRoot, FontSizeIsTheEmHeightInPageUnits)
{
    for (const float zoom : {1.0f, 3.0f}) {
        PATextRootWindow root;
        Canvas canvas(int(200 * zoom), int(200 * zoom), zoom);
        drawTextBox(root, plain(QStringLiteral("H"), 100), Rect(20, 20, 160, 160), 0, false);
        const QRect ink = inkBounds(canvas.image(), 0xFFFFFFFFu, 128);
        // DejaVu Sans (drawing Verdana here) has capitals 0.729 em high.
        EXPECT_NEAR(ink.height() / zoom, 72.9, 1.5) << "zoom " << zoom;
    }
}

TEST(TextRoot, NothingIsDrawnWithoutSomethingToDraw)
{
    struct Case
    {
        const char* what;
        CAttributedString text;
        Size layout;
        bool withContext;
    };
    const Case cases[] = {
        {"empty text", CAttributedString(), {100, 50}, true},
        {"zero width", plain(QStringLiteral("Hi")), {0, 50}, true},
        {"height of 1", plain(QStringLiteral("Hi")), {100, 1}, true},
        {"no context", plain(QStringLiteral("Hi")), {100, 50}, false},
    };
    for (const Case& c : cases) {
        PATextRootWindow root;
        Canvas canvas(120, 60);
        const QImage before = canvas.image();
        if (!c.withContext)
            PopCurrentContext();
        root.setFrame(Rect(5, 5, 100, 50), 0);
        root.setLayoutSize(c.layout);
        root.setText(c.text);
        root.drawAt(Point{5, 5});
        if (!c.withContext)
            PushCurrentContext(&canvas.context());
        EXPECT_EQ(canvas.image(), before) << c.what;
        EXPECT_EQ(root.lastPaintedDeviceRect(), Rect()) << c.what;
    }
}

TEST(TextRoot, LabelIsTwoUnitsWiderThanItsTextWithDots)
{
    const PAFont* italic = verdana(14, PAFont::FontStyleItalic);
    PATextRootWindow root;
    root.prepareLabel(QStringLiteral("Page 12"), italic, packColor(200, 0, 0));
    const QFontMetricsF metrics(PAFontRendering::qtFont(italic));
    EXPECT_EQ(root.layoutWidth(), std::int32_t(std::ceil(metrics.horizontalAdvance(QStringLiteral("Page 12..")) + 2)));
    EXPECT_EQ(root.layoutHeight(), std::int32_t(std::ceil(metrics.height())));
    EXPECT_FALSE(root.wraps());
    ASSERT_EQ(root.text().runCount(), 1);
    EXPECT_EQ(root.text().run(0).font, italic);
    EXPECT_EQ(root.text().alignment(), TextAlignment::Center);

    Canvas canvas(160, 40);
    const Rect rect(10, 8, float(root.layoutWidth()), float(root.layoutHeight()));
    root.drawInRect(rect);
    const QRect ink = inkBounds(canvas.image());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), rect.x());
    EXPECT_LE(ink.right(), rect.maxX());
    EXPECT_NEAR((ink.left() + ink.right() + 1) / 2.0, rect.midX(), 4.0) << "centred in the label";

    root.setLayoutSize(Size{100, 20});
    EXPECT_TRUE(root.wraps()) << "a text box wraps again";
}

TEST(TextRoot, LayoutsAreCachedByTextAndWidth)
{
    PATextRootWindow root;
    const CAttributedString story = plain(kStory, 10);
    const float narrow = measuredHeight(root, story, 80);
    EXPECT_EQ(root.cachedLayoutCount(), 1);
    const float wide = measuredHeight(root, story, 300);
    EXPECT_EQ(root.cachedLayoutCount(), 2);
    EXPECT_GT(narrow, wide);
    EXPECT_EQ(measuredHeight(root, story, 80, 40), narrow) << "the layout height does not change the layout";
    EXPECT_EQ(root.cachedLayoutCount(), 2);

    // Any change of a run is another text, never a stale layout.
    CAttributedString recoloured = story;
    recoloured.setColor(0, 5, packColor(255, 0, 0));
    measuredHeight(root, recoloured, 80);
    EXPECT_EQ(root.cachedLayoutCount(), 3);
    CAttributedString bigger = story;
    bigger.changeFontSize(true);
    EXPECT_GT(measuredHeight(root, bigger, 80), narrow);
    EXPECT_EQ(measuredHeight(root, story, 80), narrow);

    // A full cache drops the least recently used layouts and stays correct.
    for (int i = 0; i < PATextRootWindow::kLayoutCacheSize + 10; ++i)
        measuredHeight(root, plain(QStringLiteral("Line %1").arg(i)), 100);
    EXPECT_EQ(root.cachedLayoutCount(), PATextRootWindow::kLayoutCacheSize);
    EXPECT_EQ(measuredHeight(root, story, 80), narrow);

    root.invalidateLayouts();
    EXPECT_EQ(root.cachedLayoutCount(), 0);
    EXPECT_EQ(root.usedTextRect().height(), narrow);
}

// A balloon hands the text host its text box inset by 3 and keeps the full
// box as layout size. Glyphs reaching past the frame, or past the layout
// box itself, must be painted whole.
TEST(TextRoot, GlyphsNearTheEdgesAreNotCut)
{
    // The italic j reaches left of its advance; the italic f leans right.
    const PAFont* italic = verdana(30, PAFont::FontStyleItalic);
    const QString word = QStringLiteral("jaff");
    // The line's width as the layout measures it: unhinted, design metrics.
    QFont unhinted = PAFontRendering::qtFont(italic);
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    QTextLayout measuring(word, unhinted);
    QTextOption option;
    option.setUseDesignMetrics(true);
    measuring.setTextOption(option);
    measuring.beginLayout();
    QTextLine measured = measuring.createLine();
    measured.setLineWidth(1000);
    measuring.endLayout();
    PATextRootWindow root;
    const float line = measuredHeight(root, CAttributedString(word, italic, kOpaqueBlack), 1000);
    const Rect box(30, 30, float(std::ceil(measured.naturalTextWidth())), line);

    Canvas tight(200, 140);
    root.setFrame(insetRect(box, 3, 3), 0);
    root.setLayoutSize(box.size);
    root.setText(CAttributedString(word, italic, kOpaqueBlack));
    root.drawAt(box.origin);

    // The same line drawn as the second of a text in a much larger box, so
    // that no edge is near it.
    Canvas roomy(200, 140);
    root.setFrame(Rect(0, 0, 200, 140), 0);
    root.setLayoutSize(Size{box.width() + 200, 200});
    root.setText(CAttributedString(QStringLiteral(" \n") + word, italic, kOpaqueBlack));
    root.drawAt(Point{box.x(), box.y() - line});

    const QRect ink = inkBounds(tight.image());
    EXPECT_LT(ink.left(), box.x()) << "the j reaches left of the layout box";
    EXPECT_GT(ink.right() + 1, box.maxX() - 3) << "the f reaches past the inset frame";
    EXPECT_TRUE(tight.image() == roomy.image()) << "nothing is cut";
}

TEST(TextRoot, TextTallerThanItsBoxShowsTheLinesThatFit)
{
    PATextRootWindow root;
    const float line = measuredHeight(root, plain(QStringLiteral("x"), 10), 100);
    for (const int lines : {1, 2, 4}) {
        Canvas canvas(120, 200);
        const Rect box(10, 10, 100, lines * line);
        drawTextBox(root, plain(kStory, 10), box, 0, false);
        const QRect ink = inkBounds(canvas.image());
        EXPECT_LE(ink.bottom() + 1, box.maxY() + 1) << lines << " lines";
        EXPECT_GT(ink.bottom() + 1, box.maxY() - line) << lines << " lines: the last line that fits is drawn";
    }
}

// The text is painted on a transparent picture and put back through the
// context: its clip applies, and a translucent background under the text is
// left exactly as it was between the glyphs.
TEST(TextRoot, PaintingKeepsTheBackgroundAndHonoursTheClip)
{
    PATextRootWindow root;
    Canvas canvas(200, 60, 1, 0);
    canvas.context().FillRectangle(packColor(255, 0, 0, 128), Rect(0, 0, 200, 60));
    const QImage before = canvas.image();
    const CAGGraphicsPath clip = NSBezierPath::pathWithRect(Rect(0, 0, 60, 60)).path();
    canvas.context().SetClip(&clip);
    drawTextBox(root, plain(QStringLiteral("IIIIIIIIIIIIIII"), 20), Rect(10, 10, 180, 40), 0, false);
    const QImage after = canvas.image();

    const Rect painted = root.lastPaintedDeviceRect();
    ASSERT_LT(painted.x(), 10);
    ASSERT_GT(painted.maxX(), 190);
    int changedInside = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (after.pixel(x, y) == before.pixel(x, y))
                continue;
            ASSERT_LT(x, 60) << "outside the clip at " << x << ", " << y;
            ++changedInside;
        }
    EXPECT_GT(changedInside, 50);
    // Below the glyphs, still inside the painted picture.
    EXPECT_EQ(after.pixel(30, 45), before.pixel(30, 45));
}

// Text is put back through DrawImage when a clip or a shadow is set, and by
// Qt's blending otherwise: both give the same pixels.
TEST(TextRoot, ClippedAndUnclippedPaintingAgree)
{
    const auto draw = [](bool clipped) {
        PATextRootWindow root;
        Canvas canvas(240, 120, 1.5f, 0);
        canvas.context().FillRectangle(packColor(40, 200, 90, 100), Rect(0, 0, 160, 80));
        const CAGGraphicsPath clip = NSBezierPath::pathWithRect(Rect(-10, -10, 200, 100)).path();
        if (clipped)
            canvas.context().SetClip(&clip);
        drawTextBox(root, plain(kStory, 9), Rect(8, 8, 140, 64), 12, false);
        return canvas.image();
    };
    const QImage clipped = draw(true);
    const QImage unclipped = draw(false);
    int worst = 0;
    for (int y = 0; y < clipped.height(); ++y)
        for (int x = 0; x < clipped.width(); ++x) {
            const QRgb a = clipped.pixel(x, y), b = unclipped.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
        }
    EXPECT_LE(worst, 2);
}

TEST(TextRoot, TransparentCanvasStaysTransparentAroundOpaqueGlyphs)
{
    PATextRootWindow root;
    Canvas canvas(100, 100, 1, 0);
    drawTextBox(root, plain(QStringLiteral("I"), 80), Rect(10, 5, 80, 90), 0, false);
    const QImage image = canvas.image();
    const QRect ink = inkBounds(image, 0u, 0);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(image.pixel(ink.center()), 0xFF000000u) << "the stem of the I is opaque black";
    EXPECT_EQ(image.pixel(ink.left() - 2, ink.center().y()), 0u);
    EXPECT_EQ(image.pixel(ink.right() + 2, ink.center().y()), 0u);
}

// Turned text stays inside its turned box: every painted pixel maps back
// into the layout box (with a little room for anti-aliasing).
TEST(TextRoot, RotatedTextSitsInsideItsTurnedBox)
{
    for (const float zoom : {1.0f, 4.0f}) {
        PATextRootWindow root;
        Canvas canvas(int(200 * zoom), int(200 * zoom), zoom);
        const Rect box(50, 60, 100, 80);
        drawTextBox(root, plain(kStory, 10), box, 30, false);
        const QImage image = canvas.image().convertToFormat(QImage::Format_ARGB32);
        const QTransform back = QTransform::fromScale(1 / zoom, 1 / zoom)
            * QTransform::fromTranslate(-box.midX(), -box.midY()) * QTransform().rotate(-30)
            * QTransform::fromTranslate(box.midX(), box.midY());
        int ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (qRed(image.pixel(x, y)) > 200)
                    continue;
                ++ink;
                const QPointF page = back.map(QPointF(x + 0.5, y + 0.5));
                ASSERT_TRUE(page.x() >= box.x() - 1 && page.x() <= box.maxX() + 1 && page.y() >= box.y() - 1
                            && page.y() <= box.maxY() + 1)
                    << "zoom " << zoom << ": ink at " << x << ", " << y;
            }
        EXPECT_GT(ink, 100);
    }
}

} // namespace
