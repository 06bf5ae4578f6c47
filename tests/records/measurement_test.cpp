#include "records/measurement.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zent5;

namespace {

// Values go to the table file with nine decimals; compare at that precision.
double stored(double v) { return std::round(v * 1e9) / 1e9; }

struct DerivationCase {
    const char* name;
    uint16_t force;
    uint16_t area;
    double P, F_MM, S, P_KG, S_KG, F;
};

const DerivationCase kDerivations[] = {
    {"wire_1234_283", 1234, 283, 12.34, 0.283, 436.0, 1258, 4446, 28.3},
    {"force_5000_area_1000", 5000, 1000, 50, 1, 500.0, 5099, 5099, 100},
    {"smallest_force", 1, 1000, 0.01, 1, 0.1, 1, 1, 100},
    {"largest_values", 65535, 65535, 655.35, 65.535, 100.0, 66827, 1020, 6553.5},
};

} // namespace

TEST(MeasurementDerivation, WorkedExamples)
{
    for (const auto& c : kDerivations) {
        SCOPED_TRACE(c.name);
        RawRecord raw;
        raw.force = c.force;
        raw.area = c.area;
        const MeasurementRecord r = deriveRecord(7, raw, 1234, "1.0.0");
        EXPECT_EQ(r.N, 7);
        EXPECT_EQ(r.SERIAL, 1234);
        EXPECT_EQ(stored(r.P), c.P);
        EXPECT_EQ(stored(r.F_MM), c.F_MM);
        ASSERT_TRUE(r.S.has_value());
        EXPECT_EQ(stored(*r.S), c.S);
        EXPECT_EQ(r.P_KG, c.P_KG);
        ASSERT_TRUE(r.S_KG.has_value());
        EXPECT_EQ(*r.S_KG, c.S_KG);
        EXPECT_EQ(stored(r.F), c.F);
        EXPECT_EQ(r.COMMENT, "");
    }
}

TEST(MeasurementDerivation, ZeroAreaLeavesStressNullAndKeepsTheRest)
{
    RawRecord raw;
    raw.force = 1234;
    raw.area = 0;
    const MeasurementRecord r = deriveRecord(1, raw, 5, "1.0.0");
    EXPECT_FALSE(r.S.has_value());
    EXPECT_FALSE(r.S_KG.has_value());
    EXPECT_EQ(stored(r.P), 12.34);
    EXPECT_EQ(r.P_KG, 1258);
    EXPECT_EQ(r.F_MM, 0);
    EXPECT_EQ(r.F, 0);
}

TEST(MeasurementText, TimeClamps)
{
    struct {
        int s, m, h;
        const char* text;
    } cases[] = {
        {7, 5, 9, "09:05:07"}, {60, 60, 24, "00:00:00"}, {59, 59, 23, "23:59:59"}, {0, 0, 0, "00:00:00"},
        {255, 255, 255, "00:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(time_text(c.s, c.m, c.h), c.text);
    }
}

TEST(MeasurementText, DateClamps)
{
    struct {
        int d, mo, y;
        const char* text;
    } cases[] = {
        {7, 3, 14, "07.03.2014"},  {0, 0, 14, "01.01.2014"},  {32, 13, 14, "01.01.2014"},
        {31, 12, 14, "31.12.2014"}, {31, 2, 14, "31.02.2014"}, {1, 1, 0, "01.01.2000"},
        {1, 1, 255, "01.01.2255"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(date_text(c.d, c.mo, c.y), c.text);
    }
}

TEST(MeasurementDiameter, TableAndBeyond)
{
    const double expected[15] = {3, 4, 5, 6, 6, 9, 10, 12, 15, 7.5, 8, 12, 14, 16, 9.6};
    for (int code = 0; code < 15; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(diameter_value(code, "1.0.0"), expected[code]);
        EXPECT_EQ(diameter_value(code, "10.10.14"), expected[code]);
    }
    EXPECT_EQ(diameter_text(4), "6к");
    EXPECT_EQ(diameter_text(9), "7,5");
    EXPECT_EQ(diameter_text(15), "");
    // Past the table the first stage stands: the tens of the code, or for
    // version 10.10.14 only 9.6 for the sixties.
    EXPECT_EQ(diameter_value(15, "1.0.0"), 1);
    EXPECT_EQ(diameter_value(63, "1.0.0"), 6);
    EXPECT_EQ(diameter_value(63, "10.10.14"), 9.6);
    EXPECT_EQ(diameter_value(70, "10.10.14"), std::nullopt);
}

TEST(MeasurementType, ByDiameterCode)
{
    struct {
        int code;
        uint16_t area;
        const char* type;
    } cases[] = {
        {0, 100, "проволока"},  {14, 100, "проволока"}, {59, 100, "проволока"}, {60, 283, "проволока"},
        {60, 284, "канат"},     {61, 283, "канат"},     {99, 100, "канат"},     {100, 100, "проволока"},
        {101, 100, "канат"},    {255, 100, "канат"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        RawRecord raw;
        raw.diameterCode = uint8_t(c.code);
        raw.area = c.area;
        raw.force = 100;
        EXPECT_EQ(deriveRecord(1, raw, 0, "").TYPE, c.type);
    }
}
