#include "records/cellformat.h"

#include <gtest/gtest.h>

#include <limits>

namespace zent5 {
namespace {

struct Case {
    double value;
    GridFormat format;
    const char* shown;
};

TEST(CellText, NumbersInTheColumnFormatsWithTheDecimalComma)
{
    using F = GridFormat;
    const Case cases[] = {
        {12.5, F::General, "12,5"},
        {0.1 + 0.2, F::General, "0,3"},            // 15 significant digits hide the binary noise
        {100, F::General, "100"},
        {-3.25, F::General, "-3,25"},
        {0, F::General, "0"},
        {0.0001, F::General, "0,0001"},
        {0.00001, F::General, "1E-5"},
        {123456789012345678.0, F::General, "1,23456789012346E17"},
        {14.7088352, F::General, "14,7088352"},
        {2.675, F::Fixed2, "2,68"},                // half away from zero on the decimal digits
        {1.005, F::Fixed2, "1,01"},
        {99.995, F::Fixed2, "100,00"},
        {1234.5, F::Fixed2, "1234,50"},
        {0, F::Fixed2, "0,00"},
        {-0.004, F::Fixed2, "0,00"},               // no "-0,00"
        {-0.005, F::Fixed2, "-0,01"},
        {0.0049, F::Fixed2, "0,00"},
        {0.05, F::Fixed1, "0,1"},
        {1234.56, F::Fixed1, "1234,6"},
        {1e20, F::Fixed2, "100000000000000000000,00"},
        {7, F::Text, "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(cell_text(c.value, c.format, ','), c.shown);
    }
}

TEST(CellText, ThePlatformSeparatorIsUsedAsGiven)
{
    EXPECT_EQ(cell_text(12.345, GridFormat::Fixed2, '.'), "12.35");
    EXPECT_EQ(cell_text(12.5, GridFormat::General, '.'), "12.5");
}

TEST(CellText, NullIsEmptyAndTextStaysAsItIs)
{
    EXPECT_EQ(cell_text(FieldValue{}, GridFormat::Fixed2, ','), "");
    EXPECT_EQ(cell_text(FieldValue{std::string("12.05.2014")}, GridFormat::Text, ','), "12.05.2014");
    EXPECT_EQ(cell_text(FieldValue{std::string("1.5")}, GridFormat::Fixed2, ','), "1.5");
}

TEST(CellText, NonFiniteNumbersDoNotBreakTheGrid)
{
    EXPECT_EQ(cell_text(std::numeric_limits<double>::infinity(), GridFormat::Fixed2, ','), "INF");
    EXPECT_EQ(cell_text(std::numeric_limits<double>::quiet_NaN(), GridFormat::General, ','), "NAN");
}

} // namespace
} // namespace zent5
