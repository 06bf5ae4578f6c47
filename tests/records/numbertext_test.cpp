#include "records/numbertext.h"

#include "tests/common/scopedlocale.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace zent5 {
namespace {

struct GeneralCase {
    double value;
    const char* shown;
};

const GeneralCase kGeneralCases[] = {
    {12, "12"},
    {9.6, "9,6"},
    {0.283, "0,283"},
    {28.3, "28,3"},
    {28.299999999999997, "28,3"}, // 0.283 * 100 as the record computes it
    {12.5, "12,5"},
    {4242, "4242"},
    {1258, "1258"},
    {65535, "65535"},
    {100, "100"},
    {0, "0"},
    {-0.0, "0"},
    {-12.5, "-12,5"},
    {-3.25, "-3,25"},
    {0.1 + 0.2, "0,3"}, // 15 significant digits hide the binary noise
    {1.0 / 3, "0,333333333333333"},
    {2.0 / 3, "0,666666666666667"},
    {14.7088352, "14,7088352"},
    {123456789012345, "123456789012345"},
    {999999999999999, "999999999999999"},
    {9999999999999998, "1E16"}, // sixteen nines round up to a power of ten
    {1e15, "1E15"},
    {123456789012345678.0, "1,23456789012346E17"},
    {0.0001, "0,0001"},
    {0.00001, "1E-5"},
    {-0.00001, "-1E-5"},
    {1.5e-7, "1,5E-7"},
    {5e-324, "4,94065645841247E-324"},
    {std::numeric_limits<double>::max(), "1,79769313486232E308"},
    {std::numeric_limits<double>::infinity(), "INF"},
    {-std::numeric_limits<double>::infinity(), "-INF"},
    {std::nan(""), "NAN"},
};

TEST(GeneralNumberText, ShortestFormWithUpToFifteenDigits)
{
    for (const auto& c : kGeneralCases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(general_number_text(c.value, ','), c.shown);
    }
    EXPECT_EQ(general_number_text(9.6, '.'), "9.6");
    EXPECT_EQ(general_number_text(1.5e-7, '.'), "1.5E-7");
}

struct FixedCase {
    double value;
    int decimals;
    const char* shown;
};

TEST(FixedNumberText, RoundsHalfAwayFromZeroOnTheDigitsAsTheyRead)
{
    const FixedCase cases[] = {
        {5, 2, "5,00"},
        {250, 1, "250,0"},
        {12.3, 2, "12,30"},
        {2.675, 2, "2,68"}, // binary 2.67499999..., rounds as it reads
        {1.005, 2, "1,01"},
        {99.995, 2, "100,00"},
        {999.96, 1, "1000,0"},
        {1234.5, 2, "1234,50"},
        {1234.56, 1, "1234,6"},
        {0, 2, "0,00"},
        {0.005, 2, "0,01"},
        {0.0049, 2, "0,00"},
        {0.0004, 2, "0,00"},
        {0.05, 1, "0,1"},
        {-0.004, 2, "0,00"}, // no "-0,00"
        {-0.005, 2, "-0,01"},
        {-1.25, 1, "-1,3"},
        {2.5, 0, "3"},
        {1e20, 2, "100000000000000000000,00"},
        {std::numeric_limits<double>::infinity(), 2, "INF"},
        {std::nan(""), 1, "NAN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(fixed_number_text(c.value, c.decimals, ','), c.shown);
    }
    EXPECT_EQ(fixed_number_text(12.345, 2, '.'), "12.35");
}

// Programs that format through the C library write its locale's separator
// once the system locale is applied; these texts must not change with it.
TEST(NumberText, TheSameUnderEveryLocale)
{
    for (const char* locale : testing::kTestLocales) {
        SCOPED_TRACE(locale);
        const testing::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << "locale not installed";
        for (const auto& c : kGeneralCases)
            EXPECT_EQ(general_number_text(c.value, ','), c.shown);
        EXPECT_EQ(general_number_text(4242, '.'), "4242");
        EXPECT_EQ(general_number_text(9.6, '.'), "9.6");
        EXPECT_EQ(fixed_number_text(5, 2, ','), "5,00");
        EXPECT_EQ(fixed_number_text(436.04, 1, '.'), "436.0");
    }
}

// Values of every kind: random bit patterns, decimals as the instrument and
// users make them, whole numbers around the switch to the exponent form,
// and halves that the rounding must see through.
// The value exactly enough to find it again.
std::string exactly(double v)
{
    char buf[40];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::vector<double> manyValues()
{
    std::mt19937_64 random(20140307);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v))
            values.push_back(v);
    }
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, int(random() % 12));
        values.push_back(double(random() % 100000000) / scale);
        values.push_back(double(random() % 65536) / 100 + double(random() % 2) * 0.005);
    }
    for (double p = 1e-6; p < 1e18; p *= 10)
        for (double d : {-1.0, -0.5, 0.0, 0.5, 1.0})
            values.push_back(p + d * p * 1e-15);
    for (double v = std::numeric_limits<double>::denorm_min(); v < 1e-300; v *= 3)
        values.push_back(v);
    for (int64_t n = 999999999999990; n < 1000000000000010; ++n)
        values.push_back(double(n));
    return values;
}

TEST(NumberText, QuickRoadsGiveTheReferenceTexts)
{
    int differences = 0;
    for (const double v : manyValues()) {
        if (general_number_text(v, ',') != general_number_text_reference(v, ',')) {
            if (++differences < 10)
                ADD_FAILURE() << "general " << exactly(v);
        }
        for (int decimals = 0; decimals <= 3; ++decimals)
            if (fixed_number_text(v, decimals, ',') != fixed_number_text_reference(v, decimals, ',')) {
                if (++differences < 10)
                    ADD_FAILURE() << "fixed " << decimals << " " << exactly(v);
            }
    }
    EXPECT_EQ(differences, 0);
}

} // namespace
} // namespace zent5
