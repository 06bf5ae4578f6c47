#include "stats/requiredvalues.h"

#include "records/measurement.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zent5;
using namespace zent5::stats;

TEST(RequiredValues, ConvertWithTheFactorsOfTheRecords)
{
    const RequiredValues kgf = requiredInKgf({9.80665, 98.0665});
    EXPECT_DOUBLE_EQ(*kgf.force, 1000);
    EXPECT_DOUBLE_EQ(*kgf.stress, 1000);
    const RequiredValues kn = requiredInKilonewtons({1000.0, 1000.0});
    EXPECT_DOUBLE_EQ(*kn.force, 9.80665);
    EXPECT_DOUBLE_EQ(*kn.stress, 98.0665);

    // A required value in kgf is the record's own kgf figure of the same force.
    RawRecord raw;
    raw.force = 1234;
    raw.area = 283;
    const MeasurementRecord r = deriveRecord(1, raw, 0, "");
    const RequiredValues shown = requiredInKgf({r.P, *r.S});
    EXPECT_EQ(std::trunc(*shown.force + 0.5), r.P_KG);
    EXPECT_EQ(std::trunc(*shown.stress + 0.5), *r.S_KG);
}

TEST(RequiredValues, EmptyStaysEmptyAndValuesComeBack)
{
    EXPECT_EQ(requiredInKgf({}), RequiredValues{});
    EXPECT_EQ(requiredInKilonewtons({}), RequiredValues{});
    EXPECT_EQ(requiredInKgf({std::nullopt, 0.0}), (RequiredValues{std::nullopt, 0.0}));

    for (const double v : {0.01, 12.34, 50.0, 436.0, 1500.5, 655.35}) {
        SCOPED_TRACE(v);
        const RequiredValues back = requiredInKilonewtons(requiredInKgf({v, v}));
        EXPECT_DOUBLE_EQ(*back.force, v);
        EXPECT_DOUBLE_EQ(*back.stress, v);
    }
}
