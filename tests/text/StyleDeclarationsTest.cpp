#include "PAFont.h"
#include "StyleDeclarations.h"
#include "TextFormats.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

const char16_t* const kPlainRun =
    u"font: 12.000000 'Verdana' normal normal 'Verdana'; color: 0.000000 0.000000 0.000000 1.000000; text-align: left; ";

CharacterFormat plainCharacter()
{
    CharacterFormat character = characterFormatOfFont(PAFont::defaultFont());
    character.setTextColor(kOpaqueBlack);
    return character;
}

struct Parsed
{
    CharacterFormat character;
    ParagraphFormat paragraph;
};

Parsed parse(QStringView text)
{
    Parsed parsed;
    parseStyleDeclarations(text, parsed.character, parsed.paragraph);
    return parsed;
}

TEST(StyleDeclarations, PlainRunIsPinnedByteForByte)
{
    EXPECT_EQ(styleDeclarations(plainCharacter(), ParagraphFormat()), QString::fromUtf16(kPlainRun));
}

TEST(StyleDeclarations, EveryDeclarationIsWrittenInOrder)
{
    CharacterFormat character = characterFormatOfFont(
        PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 18,
                               PAFont::FontStyleBold | PAFont::FontStyleItalic | PAFont::FontStyleUnderline
                                   | PAFont::FontStyleStrikeOut | PAFont::FontStyleSuperscript));
    character.setTextColor(packColor(255, 0, 0));
    character.setBackgroundColor(packColor(0, 0, 255));
    ParagraphFormat paragraph = ParagraphFormat::withAlignment(TextAlignment::Center);
    paragraph.addTabStop(TabStop{36 * kTwipsPerUnit, TabStop::Left});
    paragraph.addTabStop(TabStop{72 * kTwipsPerUnit, TabStop::Center});
    EXPECT_EQ(styleDeclarations(character, paragraph),
              u"font: 18.000000 'DigitalStrip' italic bold 'DigitalStrip'; "
              u"color: 1.000000 0.000000 0.000000 1.000000; "
              u"background-color: 0.000000 0.000000 1.000000 1.000000; "
              u"text-align: center; "
              u"tab-stops: 36.000000-L 72.000000-C; "
              u"text-decoration: underline; "
              u"text-decoration: line-through; "
              u"text-superscript: 1.000000; ");
}

// Everything a run can carry comes back from its declaration list.
TEST(StyleDeclarations, EveryAttributeRoundTrips)
{
    struct Case {
        const char* name;
        std::uint32_t style;
        TextAlignment alignment;
        std::vector<TabStop> tabs;
        PackedColor color;
    };
    const Case cases[] = {
        {"plain", 0, TextAlignment::Left, {}, kOpaqueBlack},
        {"bold right", PAFont::FontStyleBold, TextAlignment::Right, {}, packColor(10, 20, 30)},
        {"italic center", PAFont::FontStyleItalic, TextAlignment::Center, {}, packColor(255, 255, 255)},
        {"underline", PAFont::FontStyleUnderline, TextAlignment::Left, {}, kOpaqueBlack},
        {"strike-out", PAFont::FontStyleStrikeOut, TextAlignment::Left, {}, kOpaqueBlack},
        {"subscript", PAFont::FontStyleSubscript, TextAlignment::Left, {}, kOpaqueBlack},
        {"superscript", PAFont::FontStyleSuperscript, TextAlignment::Left, {}, kOpaqueBlack},
        {"all effects", PAFont::FontStyleBold | PAFont::FontStyleItalic | PAFont::FontStyleUnderline
                            | PAFont::FontStyleStrikeOut | PAFont::FontStyleSubscript,
         TextAlignment::Right, {}, packColor(1, 2, 3)},
        {"tabs of every kind",
         PAFont::FontStyleUnderline,
         TextAlignment::Left,
         {{0, TabStop::Left}, {20 * kTwipsPerUnit, TabStop::Center}, {300 * kTwipsPerUnit, TabStop::Right},
          {1000 * kTwipsPerUnit, TabStop::Decimal}},
         kOpaqueBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PAFont* font = PAFont::fontWithFamily(QStringLiteral("Tahoma"), 14, c.style);
        CharacterFormat character = characterFormatOfFont(font);
        character.setTextColor(c.color);
        ParagraphFormat paragraph = ParagraphFormat::withAlignment(c.alignment);
        for (const TabStop& stop : c.tabs)
            paragraph.addTabStop(stop);

        const QString text = styleDeclarations(character, paragraph);
        const Parsed back = parse(text);
        EXPECT_EQ(fontFromCharacterFormat(back.character), font) << text.toStdString();
        EXPECT_EQ(back.character.textColor, c.color) << text.toStdString();
        EXPECT_EQ(back.paragraph, paragraph) << text.toStdString();
        EXPECT_EQ(styleDeclarations(back.character, back.paragraph), text);
    }
}

TEST(StyleDeclarations, JustifiedReadsBackAsLeft)
{
    const QString text = styleDeclarations(plainCharacter(), ParagraphFormat::withAlignment(TextAlignment::Justify));
    EXPECT_TRUE(text.contains(u"text-align: left; ")) << text.toStdString();
    EXPECT_EQ(parse(text).paragraph.alignment, TextAlignment::Left);
    EXPECT_EQ(parse(u"text-align: justify; ").paragraph.alignment, TextAlignment::Left);
}

TEST(StyleDeclarations, MalformedAndUnknownDeclarationsAreSkipped)
{
    struct Case {
        const char* name;
        const char16_t* text;
    };
    const Case cases[] = {
        {"unknown name", u"font-weight: bold; "},
        {"no value", u"color; "},
        {"two colons", u"color: 1 0 0 1: 2; "},
        {"colon without blank", u"color:1 0 0 1; "},
        {"colour word", u"color: red; "},
        {"short colour", u"color: 1 0; "},
        {"font without face or size", u"font: bold; "},
        {"empty font of old files", u"font: 0.000000 '' normal normal ''; "},
        {"ignored shadow", u"text-shadow-color: 1 0 0 1; text-shadow-blur: 3; letter-spacing: 2; "},
        {"ignored offsets", u"baseline-offset: 2; text-indent: 10; text-shadow-offset: {1, 1}; "},
        {"decoration word", u"text-decoration: blink; "},
        {"superscript word", u"text-superscript: up; "},
        {"superscript zero", u"text-superscript: 0.000000; "},
        {"separator without blank", u"text-decoration: underline;color: 1 0 0 1; "},
        {"empty", u""},
        {"only separators", u"; ; ; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.character, CharacterFormat());
        EXPECT_EQ(parsed.paragraph, ParagraphFormat());
    }
}

TEST(StyleDeclarations, GoodDeclarationsAroundBadOnesAreKept)
{
    const Parsed parsed = parse(u"bogus; font: 20.000000 'Arial' normal bold 'Arial'; color: nonsense; "
                                u"text-align: right; shadow: x: y; text-decoration: line-through");
    EXPECT_EQ(parsed.character.face, u"Arial");
    EXPECT_EQ(parsed.character.height, 20 * kTwipsPerUnit);
    EXPECT_TRUE(parsed.character.isOn(CharacterFormat::Bold));
    EXPECT_FALSE(parsed.character.has(CharacterFormat::TextColor));
    EXPECT_EQ(parsed.paragraph.alignment, TextAlignment::Right);
    // The last item needs no closing separator.
    EXPECT_TRUE(parsed.character.isOn(CharacterFormat::StrikeOut));
}

TEST(StyleDeclarations, TabStopsFollowedByUnderlineKeepBoth)
{
    const Parsed parsed = parse(u"tab-stops: 36.000000-L 72.000000-C; text-decoration: underline; ");
    ASSERT_EQ(parsed.paragraph.tabStops.size(), 2u);
    EXPECT_EQ(parsed.paragraph.tabStops[1], (TabStop{72 * kTwipsPerUnit, TabStop::Center}));
    EXPECT_TRUE(parsed.character.isOn(CharacterFormat::Underline));
}

TEST(StyleDeclarations, TabStopEntries)
{
    struct Case {
        const char* name;
        const char16_t* text;
        std::vector<TabStop> expected;
    };
    const Case cases[] = {
        {"kinds", u"tab-stops: 1-L 2-C 3-R 4-D 5-X; ",
         {{20, TabStop::Left}, {40, TabStop::Center}, {60, TabStop::Right}, {80, TabStop::Decimal}, {100, TabStop::Left}}},
        {"positions truncate", u"tab-stops: 36.9-L; ", {{36 * kTwipsPerUnit, TabStop::Left}}},
        {"entry without kind skipped", u"tab-stops: 36 72-C; ", {{72 * kTwipsPerUnit, TabStop::Center}}},
        {"negative position skipped", u"tab-stops: -36-L 10-R; ", {{10 * kTwipsPerUnit, TabStop::Right}}},
        {"unreadable position skipped", u"tab-stops: x-L 10-R; ", {{10 * kTwipsPerUnit, TabStop::Right}}},
        {"huge position clamped to 24 bits", u"tab-stops: 1e30-L 900000-R; ",
         {{kMaxTabPositionTwips, TabStop::Left}, {kMaxTabPositionTwips, TabStop::Right}}},
        {"two declarations append", u"tab-stops: 1-L; tab-stops: 2-R; ", {{20, TabStop::Left}, {40, TabStop::Right}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.text).paragraph.tabStops, c.expected);
    }
}

TEST(StyleDeclarations, FortyTabStopsKeepTheFirstThirtyTwo)
{
    QString text = QStringLiteral("tab-stops:");
    for (int i = 1; i <= 40; ++i)
        text += QStringLiteral(" %1.000000-R").arg(i * 10);
    text += QStringLiteral("; text-decoration: underline; ");
    const Parsed parsed = parse(text);
    ASSERT_EQ(parsed.paragraph.tabStops.size(), std::size_t(kMaxTabStops));
    EXPECT_EQ(parsed.paragraph.tabStops.back().position, 320 * kTwipsPerUnit);
    EXPECT_TRUE(parsed.character.isOn(CharacterFormat::Underline));
}

TEST(StyleDeclarations, TabStopsAreAppendedToThoseOfTheParagraph)
{
    CharacterFormat character;
    ParagraphFormat paragraph;
    paragraph.addTabStop(TabStop{100, TabStop::Right});
    parseStyleDeclarations(u"tab-stops: 1-L; ", character, paragraph);
    EXPECT_EQ(paragraph.tabStops, (std::vector<TabStop>{{100, TabStop::Right}, {20, TabStop::Left}}));
}

TEST(StyleDeclarations, SuperscriptSign)
{
    EXPECT_TRUE(parse(u"text-superscript: 1.000000; ").character.isOn(CharacterFormat::Superscript));
    EXPECT_TRUE(parse(u"text-superscript: -0.5; ").character.isOn(CharacterFormat::Subscript));
    const Parsed both = parse(u"text-superscript: -1; text-superscript: 1; ");
    EXPECT_TRUE(both.character.isOn(CharacterFormat::Superscript));
    EXPECT_FALSE(both.character.isOn(CharacterFormat::Subscript));
}

TEST(StyleDeclarations, FontSizesAreKeptSane)
{
    struct Case {
        const char* name;
        const char16_t* text;
        const PAFont* expected;
    };
    const QString verdana = QStringLiteral("Verdana");
    const Case cases[] = {
        {"ordinary", u"font: 30.000000 'Verdana' normal normal 'Verdana'; ", PAFont::fontWithFamily(verdana, 30)},
        {"huge", u"font: 1e12 'Verdana' normal normal 'Verdana'; ", PAFont::fontWithFamily(verdana, kMaxFontSize)},
        {"zero", u"font: 0.000000 'Verdana' normal bold 'Verdana'; ",
         PAFont::fontWithFamily(verdana, PAFont::DefaultTextSize, PAFont::FontStyleBold)},
        {"negative", u"font: -5.000000 'Verdana' normal normal 'Verdana'; ", PAFont::defaultFont()},
        {"fraction below one", u"font: 0.500000 'Verdana' normal normal 'Verdana'; ", PAFont::defaultFont()},
        {"face kept as written", u"font: 16.000000 'DigitalStrip' normal normal 'DigitalStrip'; ",
         PAFont::fontWithFamily(QStringLiteral("DigitalStrip"), 16)},
        {"no font declaration", u"color: 1 0 0 1; ", PAFont::defaultFont()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fontFromCharacterFormat(parse(c.text).character), c.expected);
    }
}

TEST(StyleDeclarations, ColoursAreReadOpaque)
{
    const Parsed parsed = parse(u"color: 0.5 0.25 1 0.1; background-color: 1 1 0 0; ");
    EXPECT_EQ(parsed.character.textColor, packColor(128, 64, 255));
    EXPECT_EQ(parsed.character.backgroundColor, packColor(255, 255, 0));
}

// Numbers must not follow the process locale: a German locale writes and
// reads decimal commas through printf and strtod.
TEST(StyleDeclarations, GermanLocaleChangesNothing)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing: scripts/install-deps generates it";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%f", 0.5);
    EXPECT_STREQ(buffer, "0,500000") << "the locale is really in force";

    EXPECT_EQ(styleDeclarations(plainCharacter(), ParagraphFormat()), QString::fromUtf16(kPlainRun));
    CharacterFormat character = plainCharacter();
    character.setTextColor(packColor(128, 0, 0));
    ParagraphFormat paragraph;
    paragraph.addTabStop(TabStop{725, TabStop::Decimal});
    const QString text = styleDeclarations(character, paragraph);
    EXPECT_TRUE(text.contains(u"color: 0.501961 0.000000 0.000000 1.000000; ")) << text.toStdString();
    EXPECT_TRUE(text.contains(u"tab-stops: 36.000000-D; ")) << text.toStdString();
    const Parsed back = parse(text);
    EXPECT_EQ(back.character.textColor, packColor(128, 0, 0));
    EXPECT_EQ(back.paragraph.tabStops.front(), (TabStop{36 * kTwipsPerUnit, TabStop::Decimal}));
    EXPECT_EQ(parse(u"font: 12.5 'Verdana' normal normal 'Verdana'; ").character.height, 12 * kTwipsPerUnit);
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(TabStop, PackedFormKeepsPositionAndKind)
{
    const TabStop stop{kMaxTabPositionTwips, TabStop::Decimal};
    EXPECT_EQ(stop.packed(), 0x03FFFFFFu);
    EXPECT_EQ(TabStop::fromPacked(stop.packed()), stop);
    // Leader bits and anything above are not ours.
    EXPECT_EQ(TabStop::fromPacked(0xFC000100u), (TabStop{0x100, TabStop::Left}));
}

} // namespace
