#include "CAttributedString.h"
#include "PAFont.h"

#include <gtest/gtest.h>

namespace {

const PAFont* verdana(std::int32_t size = 12, std::uint32_t style = 0)
{
    return PAFont::fontWithFamily(QStringLiteral("Verdana"), size, style);
}

// "start+length:bold" per run, to compare run lists at a glance.
std::string shape(const CAttributedString& text)
{
    std::string out;
    for (const TextRun& run : text.runs()) {
        out += std::to_string(run.start) + "+" + std::to_string(run.length);
        if (run.font->isBold())
            out += "b";
        if (run.color != kOpaqueBlack)
            out += "c";
        out += " ";
    }
    return out;
}

TEST(CAttributedString, TextAloneGetsOneDefaultRun)
{
    const CAttributedString text(QStringLiteral("Hello"));
    ASSERT_EQ(text.runCount(), 1);
    const TextRun& run = text.run(0);
    EXPECT_EQ(run.start, 0);
    EXPECT_EQ(run.length, 5);
    EXPECT_EQ(run.font, PAFont::defaultFont());
    EXPECT_EQ(run.font->family(), u"Verdana");
    EXPECT_EQ(run.font->size(), 12);
    EXPECT_EQ(run.color, kOpaqueBlack);
    EXPECT_EQ(run.paragraph.alignment, TextAlignment::Left);
    EXPECT_EQ(text.runText(0), u"Hello");
}

TEST(CAttributedString, EmptyStringHasNoRunsAndDefaults)
{
    const CAttributedString text;
    EXPECT_EQ(text.runCount(), 0);
    EXPECT_EQ(text.alignment(), TextAlignment::Left);
    EXPECT_EQ(text.textColor(), kOpaqueBlack);
    EXPECT_FALSE(text.hasFontStyle(PAFont::FontStyleBold));
}

TEST(CAttributedString, AppendingAddsRunsAtTheEnd)
{
    CAttributedString text;
    text.appendString(QStringLiteral("Hi "), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("there"), nullptr, packColor(255, 0, 0), TextAlignment::Center);
    ASSERT_EQ(text.runCount(), 2);
    EXPECT_EQ(text.string(), u"Hi there");
    EXPECT_EQ(text.run(1).start, 3);
    EXPECT_EQ(text.run(1).font, PAFont::defaultFont());
    EXPECT_EQ(text.runText(1), u"there");
}

TEST(CAttributedString, AppendingFromFormatsWithoutFontGivesTheDefaultFont)
{
    CharacterFormat character;
    character.setTextColor(0x00336699u);
    CAttributedString text;
    text.appendString(QStringLiteral("x"), character, ParagraphFormat::withAlignment(TextAlignment::Right));
    EXPECT_EQ(text.run(0).font, PAFont::defaultFont());
    EXPECT_EQ(text.run(0).color, 0xFF336699u);
    EXPECT_EQ(text.alignment(), TextAlignment::Right);

    text.appendString(QStringLiteral("y"), CharacterFormat(), ParagraphFormat());
    EXPECT_EQ(text.run(1).color, kOpaqueBlack);
}

TEST(CAttributedString, BoldInTheMiddleSplitsAndPlainAgainJoins)
{
    CAttributedString text(QStringLiteral("0123456789"));
    text.applyAttributes(2, 3, verdana(12, PAFont::FontStyleBold), std::nullopt, nullptr);
    EXPECT_EQ(shape(text), "0+2 2+3b 5+5 ");
    text.applyAttributes(2, 3, verdana(), std::nullopt, nullptr);
    EXPECT_EQ(shape(text), "0+10 ");
}

TEST(CAttributedString, ApplyingAttributesOverRunBoundaries)
{
    struct Case {
        const char* name;
        std::int32_t start;
        std::int32_t length;
        std::string expected;
    };
    // Starts as "0+4 4+3b 7+3": plain, bold, plain.
    const Case cases[] = {
        {"inside one run", 1, 2, "0+1 1+2c 3+1 4+3b 7+3 "},
        {"across a boundary", 3, 2, "0+3 3+1c 4+1bc 5+2b 7+3 "},
        {"whole text", 0, 10, "0+4c 4+3bc 7+3c "},
        {"exactly one run", 4, 3, "0+4 4+3bc 7+3 "},
        {"beyond the end", 8, 50, "0+4 4+3b 7+1 8+2c "},
        {"before the start", -5, 6, "0+1c 1+3 4+3b 7+3 "},
        {"empty range", 5, 0, "0+4 4+3b 7+3 "},
        {"negative length", 5, -3, "0+4 4+3b 7+3 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAttributedString text(QStringLiteral("0123"));
        text.appendString(QStringLiteral("456"), verdana(12, PAFont::FontStyleBold), kOpaqueBlack, TextAlignment::Left);
        text.appendString(QStringLiteral("789"), verdana(), kOpaqueBlack, TextAlignment::Left);
        text.applyAttributes(c.start, c.length, nullptr, packColor(0, 0, 255), nullptr);
        EXPECT_EQ(shape(text), c.expected);
    }
}

TEST(CAttributedString, ParagraphsOnlyMergeWhenEveryFieldIsEqual)
{
    CAttributedString text(QStringLiteral("abcdef"));
    ParagraphFormat tabbed;
    tabbed.addTabStop(TabStop{100, TabStop::Left});
    text.applyAttributes(3, 3, nullptr, std::nullopt, &tabbed);
    EXPECT_EQ(text.runCount(), 2);

    ParagraphFormat otherTab = tabbed;
    otherTab.tabStops[0].kind = TabStop::Right;
    text.applyAttributes(0, 3, nullptr, std::nullopt, &otherTab);
    EXPECT_EQ(text.runCount(), 2);
    text.applyAttributes(0, 3, nullptr, std::nullopt, &tabbed);
    EXPECT_EQ(text.runCount(), 1);
}

TEST(CAttributedString, EqualNeighboursMerge)
{
    CAttributedString text;
    text.appendString(QStringLiteral("ab"), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("cd"), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral(""), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("ef"), verdana(14), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("gh"), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.mergeRuns();
    EXPECT_EQ(shape(text), "0+4 4+2 6+2 ");
}

TEST(CAttributedString, SetFontOnAnExactRunChangesItInPlace)
{
    CAttributedString text;
    text.appendString(QStringLiteral("ab"), verdana(), kOpaqueBlack, TextAlignment::Left);
    text.appendString(QStringLiteral("cd"), verdana(14), kOpaqueBlack, TextAlignment::Left);
    text.setFont(2, 2, verdana());
    // In place: no merge, the neighbours stay apart.
    EXPECT_EQ(shape(text), "0+2 2+2 ");
    EXPECT_EQ(text.run(1).font, verdana());
    text.setColor(1, 2, packColor(1, 1, 1));
    EXPECT_EQ(shape(text), "0+1 1+2c 3+1 ");
}

TEST(CAttributedString, SetFontWithoutRunsMakesADefaultRunFirst)
{
    CAttributedString text;
    text.setFont(0, 0, verdana(20));
    ASSERT_EQ(text.runCount(), 1);
    EXPECT_EQ(text.run(0).font, verdana(20));
    EXPECT_EQ(text.run(0).length, 0);
}

TEST(CAttributedString, WholeTextEdits)
{
    CAttributedString text(QStringLiteral("ab"));
    text.appendString(QStringLiteral("cd"), verdana(12, PAFont::FontStyleItalic), packColor(255, 0, 0),
                      TextAlignment::Left);
    text.appendString(QStringLiteral("ef"), verdana(1), packColor(0, 0, 255), TextAlignment::Left);
    EXPECT_EQ(text.textColor(), packColor(255, 0, 0));
    EXPECT_TRUE(text.hasFontStyle(PAFont::FontStyleItalic));
    EXPECT_FALSE(text.hasFontStyle(PAFont::FontStyleBold));

    text.changeFontSize(false);
    EXPECT_EQ(text.run(0).font->size(), 11);
    EXPECT_EQ(text.run(2).font->size(), 1) << "never below 1";
    text.changeFontSize(true);
    EXPECT_EQ(text.run(0).font, verdana());

    text.setFontStyle(PAFont::FontStyleBold, true);
    EXPECT_TRUE(text.run(0).font->isBold());
    EXPECT_TRUE(text.run(1).font->isItalic()) << "other flags stay";
    text.setFontStyle(PAFont::FontStyleItalic, false);
    text.setColor(0, 6, kOpaqueBlack);
    EXPECT_EQ(shape(text), "0+4b 4+2b ");
    text.setAlignment(TextAlignment::Center);
    EXPECT_EQ(text.alignment(), TextAlignment::Center);
    EXPECT_EQ(text.runCount(), 2);
}

TEST(CAttributedString, FontsAreSharedAndCompareIgnoringCase)
{
    EXPECT_EQ(verdana(), PAFont::fontWithFamily(QStringLiteral("Verdana"), 12, 0u));
    const PAFont* lower = PAFont::fontWithFamily(QStringLiteral("verdana"), 12, 0u);
    EXPECT_TRUE(lower->isEqual(verdana()));
    EXPECT_FALSE(lower->isEqual(verdana(13)));
}

} // namespace
