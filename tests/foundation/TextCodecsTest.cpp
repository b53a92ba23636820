#include "PAFont.h"
#include "TextCodecs.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(TextCodecs, PointsAndSizes)
{
    struct Case { const char* text; Point expected; };
    const Case cases[] = {
        {"{10, 20}", {10, 20}},
        {"{10.5, 20}", {10.5f, 20}},
        {"10, 20", {0, 0}},
        {"", {0, 0}},
        {"{1e-05, 20}", {1e-05f, 20}},
        {"{1e+06, 2}", {1e+06f, 2}},
        {"{-3,-4}", {-3, -4}},
        {"{7}", {7, 0}},
        {"{x, 5}", {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointFromString(QString::fromLatin1(c.text)), c.expected) << c.text;
    EXPECT_EQ(stringFromSize(Size{612, 792}), u"{612, 792}");
    EXPECT_EQ(stringFromPoint(Point{0.5f, -1234567.0f}), u"{0.5, -1.23457e+06}");
}

TEST(TextCodecs, RectanglesRoundTripEvenInExponentForm)
{
    const Rect rects[] = {Rect(1, 2, 3, 4), Rect(-10.5f, 0.25f, 1e-05f, 1e+06f), Rect(0, 0, -5, -6)};
    for (const Rect& r : rects) {
        const Rect back = rectFromString(stringFromRect(r));
        EXPECT_NEAR(back.x(), r.x(), std::abs(r.x()) * 1e-5f);
        EXPECT_NEAR(back.y(), r.y(), std::abs(r.y()) * 1e-5f);
        EXPECT_NEAR(back.width(), r.width(), std::abs(r.width()) * 1e-5f);
        EXPECT_NEAR(back.height(), r.height(), std::abs(r.height()) * 1e-5f);
    }
    EXPECT_EQ(stringFromRect(Rect(1, 2, 3, 4)), u"{{1, 2}, {3, 4}}");
    EXPECT_EQ(rectFromString(u"{{1, 2}, {3, 4}}"), Rect(1, 2, 3, 4));
    EXPECT_EQ(rectFromString(u"no braces"), Rect());
}

TEST(TextCodecs, ColoursRoundTripEveryByteValue)
{
    EXPECT_EQ(stringFromColor(packColor(255, 0, 0)), u"1.000000 0.000000 0.000000 1.000000");
    for (int byte = 0; byte < 256; ++byte) {
        const PackedColor c = packColor(std::uint8_t(byte), std::uint8_t(255 - byte), std::uint8_t(byte), std::uint8_t(byte));
        PackedColor cycled = c;
        for (int cycle = 0; cycle < 3; ++cycle)
            cycled = colorFromString(stringFromColor(cycled));
        EXPECT_EQ(cycled, c) << byte;
    }
    EXPECT_EQ(colorFromString(u"0.498039 0 0 1"), packColor(127, 0, 0)) << "127 must not drift to 126";
    EXPECT_EQ(colorFromString(u"2 -1 0.5 1"), packColor(255, 0, 128)) << "components clamp";
    EXPECT_EQ(colorFromString(u"1 1"), packColor(255, 255, 0, 255)) << "missing components";
}

TEST(TextCodecs, FontForms)
{
    struct Case { const char* text; const char* face; int size; bool italic; bool bold; };
    const Case cases[] = {
        {"12.000000 'Verdana' italic normal 'Verdana'", "Verdana", 12, true, false},
        {"12 x normal bold Tahoma", "Tahoma", 12, false, true},
        {"18.7 'Comic Neue' normal BOLD 'Comic Neue'", "Comic Neue", 18, false, true},
        {"10 x normal normal Times New Roman", "Times New Roman", 10, false, false},
        {"10 Arial Italic bold", "Arial", 10, false, true},
        {"9 'First' normal normal ''", "First", 9, false, false},
        {"'quoted first' 12", "", 0, false, false},
        {"Tahoma", "", 0, false, false},
        {"", "", 0, false, false},
    };
    for (const Case& c : cases) {
        const FontDescription font = fontFromString(QString::fromLatin1(c.text));
        EXPECT_EQ(font.face, QLatin1String(c.face)) << c.text;
        EXPECT_EQ(font.size, c.size) << c.text;
        EXPECT_EQ(font.italic, c.italic) << c.text;
        EXPECT_EQ(font.bold, c.bold) << c.text;
    }
    EXPECT_EQ(stringFromFont(FontDescription{"Arial", 12, false, true}), u"12.000000 'Arial' normal bold 'Arial'");
}

TEST(TextCodecs, UnquotedFaceIsCappedAndTokenisedSafely)
{
    const QString longFace(5000, u'F');
    const FontDescription font = fontFromString(QStringLiteral("12 x normal normal ") + longFace);
    EXPECT_EQ(font.face.size(), kMaxUnquotedFaceLength);
}

TEST(TextCodecs, FontStringOfAnInternedFont)
{
    const PAFont* font = PAFont::fontWithFamily(QStringLiteral("Verdana"), 14, true, true);
    EXPECT_EQ(font->fontString(), u"14.000000 'Verdana' italic bold 'Verdana'");
    EXPECT_EQ(fontFromString(font->fontString()).font(), font);
}

// Numbers must not follow the process locale: a German locale writes decimal commas.
TEST(TextCodecs, GermanLocaleDoesNotChangeNumbers)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing: scripts/install-deps generates it";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%f", 12.5);
    EXPECT_STREQ(buffer, "12,500000") << "the locale is really in force";

    EXPECT_EQ(stringFromColor(packColor(255, 0, 0)), u"1.000000 0.000000 0.000000 1.000000");
    EXPECT_EQ(stringFromPoint(Point{12.5f, 0.25f}), u"{12.5, 0.25}");
    EXPECT_EQ(pointFromString(u"{12.5, 0.25}"), (Point{12.5f, 0.25f}));
    EXPECT_EQ(fontFromString(u"12.000000 'Verdana' normal bold 'Verdana'").size, 12);
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
