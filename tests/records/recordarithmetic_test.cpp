#include "records/recordarithmetic.h"

#include <gtest/gtest.h>

#include <random>

namespace zent5 {
namespace {

// Pairs whose stress 1000 × force ÷ area is exactly n + 0.5, where only the
// rounding of the stored P and F_MM and of the quotient decides between n
// and n + 1. Each result was worked out with exact fractions: P and F_MM as
// the doubles nearest to force ÷ 100 and area ÷ 1000, the quotient
// 100 × P ÷ F_MM rounded to a 64-bit mantissa, then 0.5 added and rounded
// again. For force 1 and area 400 it can be seen by hand: P is
// 0.01000000000000000020816..., F_MM is 0.40000000000000002220446...; F_MM
// lies further above its decimal than P does, so the quotient falls below
// 2.5 and the stress is 0.2, not 0.3.
struct Half {
    uint16_t force, area;
    uint32_t tenths;
    const char* why;
};

const Half kHalves[] = {
    {1, 400, 2, "quotient below 2.5"},
    {3, 16, 187, "quotient below 187.5"},
    {5, 16, 313, "quotient above 312.5"},
    {25, 2000, 13, "P and F_MM exact: 12.5 rounds up"},
    {1, 16, 63, "the errors of P and F_MM cancel: 62.5 exactly"},
    {1, 2000, 1, "0.5 from above"},
    {3, 6000, 0, "0.5 from below, under 1"},
    {10931, 16, 683188, "below 683187.5, but within half a unit of the 64-bit quotient"},
    {43749, 16, 2734313, "below 2734312.5, but within half a unit of the 64-bit quotient"},
    {28692, 1600, 17933, "below 17932.5, but within half a unit of the 64-bit quotient"},
    {30303, 65520, 462, "largest area, below 462.5"},
    {64701, 65520, 988, "largest area, above 987.5"},
    {65001, 16, 4062562, "among the largest stresses, below 4062562.5"},
};

TEST(StressArithmetic, ExactHalvesGoWhereTheInstrumentsRoundingTakesThem)
{
    for (const Half& h : kHalves) {
        SCOPED_TRACE(std::to_string(h.force) + " / " + std::to_string(h.area) + ": " + h.why);
        EXPECT_EQ(stressTenthsStepByStep(h.force, h.area), h.tenths);
        EXPECT_EQ(stressTenths(h.force, h.area), h.tenths);
        const DerivedNumbers n = deriveNumbers(h.force, h.area);
        ASSERT_TRUE(n.S.has_value());
        EXPECT_EQ(*n.S, h.tenths / 10.0);
    }
}

// The quick road is plain integer rounding away from the halves; the steps
// are followed one by one for every pair here.
TEST(StressArithmetic, QuickRoadGivesWhatTheStepsGive)
{
    int differences = 0;
    auto check = [&](uint16_t force, uint16_t area) {
        if (stressTenths(force, area) != stressTenthsStepByStep(force, area) && ++differences < 10)
            ADD_FAILURE() << "force " << force << " area " << area;
    };
    for (uint16_t area : {16, 400, 65535})
        for (uint32_t force = 0; force <= 65535; ++force)
            check(uint16_t(force), area);
    std::mt19937 random(283);
    for (int i = 0; i < 30000; ++i)
        check(uint16_t(random()), uint16_t(1 + random() % 65535));
    EXPECT_EQ(differences, 0);
}

TEST(StressArithmetic, KgfRoundsHalfUpFromTheUnitsOfTheInstrument)
{
    const struct {
        uint32_t units;
        uint32_t kgf;
    } cases[] = {
        {0, 0},
        {1, 1},            // 0.01 kN is 1.0197 kgf
        {1234, 1258},      // 12.34 kN
        {4360, 4446},      // 436.0 MPa
        {65535, 66827},    // the largest force
        {75902, 77398},    // 77398.4999975: the closest below a half
        {120231, 122602},  // 122601.5000025: the closest above a half
        {65535000, 66827102}, // the largest stress, 6553500.0 MPa
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.units);
        EXPECT_EQ(kgfOf(c.units), c.kgf);
    }
}

} // namespace
} // namespace zent5
