#include "print/valueformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zent5 {
namespace {

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(NumberPattern, RoundsToTheDigitsOfThePatternWithAComma)
{
    const PatternCase cases[] = {
        {12.3, "0.00", "12,30"},
        {12.34, "0.00", "12,34"},
        {436, "0.0", "436,0"},
        {436.04, "0.0", "436,0"},
        {0, "0.00", "0,00"},
        {0.5, "0.0", "0,5"},
        {0.004, "0.00", "0,00"},
        {0.005, "0.00", "0,01"},
        {0.0004, "0.00", "0,00"},
        {2.675, "0.00", "2,68"},   // binary 2.67499999..., rounds as it reads
        {1.005, "0.00", "1,01"},
        {999.96, "0.0", "1000,0"},
        {99.995, "0.00", "100,00"},
        {-1.25, "0.0", "-1,3"},
        {-0.001, "0.00", "0,00"}, // no minus sign on a zero
        {50, "0.00", "50,00"},
        {123456.78, "0.0", "123456,8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.expected);
        std::string out = "untouched";
        ASSERT_TRUE(formatNumberPattern(c.value, c.pattern, out));
        EXPECT_EQ(out, c.expected);
    }
}

TEST(NumberPattern, FailsForUnknownPatternsAndValuesItCannotShow)
{
    std::string out = "untouched";
    EXPECT_FALSE(formatNumberPattern(1, "#,##0", out));
    EXPECT_FALSE(formatNumberPattern(std::numeric_limits<double>::infinity(), "0.0", out));
    EXPECT_FALSE(formatNumberPattern(std::nan(""), "0.00", out));
    EXPECT_EQ(out, "untouched");
}

TEST(DisplayValue, FollowsTheValueKindAndTheCellFormat)
{
    const DisplayFormat plain{};
    const DisplayFormat plainWithPattern{DisplayKind::Plain, "0.0"};
    const DisplayFormat twoDecimals{DisplayKind::Number, "0.00"};
    const DisplayFormat badPattern{DisplayKind::Number, "0.000"};
    struct Case {
        const char* name;
        FieldValue value;
        DisplayFormat format;
        const char* expected;
    };
    const Case cases[] = {
        {"null", FieldValue{}, twoDecimals, ""},
        {"blank text", std::string("   "), plain, ""},
        {"empty text", std::string(), plain, ""},
        {"text as stored", std::string(" канат "), plain, " канат "},
        {"text ignores the pattern", std::string("12.3"), twoDecimals, "12.3"},
        {"plain number", 9.6, plain, "9;6"},
        {"an unused pattern has no effect", 28.3, plainWithPattern, "28;3"},
        {"pattern", 12.3, twoDecimals, "12,30"},
        {"unknown pattern falls back to plain", 12.3, badPattern, "12;3"},
        {"failed pattern falls back to plain", std::numeric_limits<double>::infinity(), twoDecimals, "INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(displayValue(c.value, c.format, ';'), c.expected);
    }
}

} // namespace
} // namespace zent5
