#include "NumberText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(NumberText, FormatsLikeTheCLocale)
{
    struct Case { double value; const char* g; const char* f; };
    const Case cases[] = {
        {0.1, "0.1", "0.100000"},
        {1234567.0, "1.23457e+06", "1234567.000000"},
        {12.5, "12.5", "12.500000"},
        {1e-05, "1e-05", "0.000010"},
        {-3.0, "-3", "-3.000000"},
        {0.0, "0", "0.000000"},
        {612.0, "612", "612.000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberText::formatG(c.value), QLatin1String(c.g)) << c.value;
        EXPECT_EQ(NumberText::formatF(c.value), QLatin1String(c.f)) << c.value;
    }
}

TEST(NumberText, LeadingIntegerAsStrtolReadsIt)
{
    struct Case { const char* text; int value; bool found; };
    const Case cases[] = {
        {"007", 7, true}, {"12 pt", 12, true}, {"  -42x", -42, true}, {"x12", 0, false},
        {"", 0, false}, {"-", 0, false}, {"99999999999999", 2147483647, true},
        {"-99999999999999", -2147483647 - 1, true}, {"1e5", 1, true},
    };
    for (const Case& c : cases) {
        bool found = !c.found;
        EXPECT_EQ(NumberText::leadingInt(QString::fromLatin1(c.text), &found), c.value) << c.text;
        EXPECT_EQ(found, c.found) << c.text;
    }
}

TEST(NumberText, LeadingRealStopsWhereADecimalNumberEnds)
{
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"1.2.3", 1.2}, {"12.5", 12.5}, {"1e5", 100000.0}, {"-.5", -0.5}, {"3.", 3.0},
        {"2e", 2.0}, {"7e+x", 7.0}, {"abc", 0.0}, {"inf", 0.0}, {"nan", 0.0}, {" 0.25 ", 0.25},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(NumberText::leadingReal(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(NumberText, HugeNumbersSaturate)
{
    EXPECT_EQ(NumberText::leadingReal(u"1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(NumberText::leadingReal(u"-1e999"), -std::numeric_limits<double>::max());
    EXPECT_EQ(NumberText::leadingReal(u"1e-999"), 0.0);
    EXPECT_EQ(NumberText::leadingFloat(u"1e300"), std::numeric_limits<float>::max());
    EXPECT_EQ(NumberText::saturatedFloat(std::numeric_limits<double>::quiet_NaN(), 3.0f), 3.0f);
}

} // namespace
