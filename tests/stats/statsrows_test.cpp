#include "stats/statsrows.h"

#include "common/memorycursor.h"

#include <gtest/gtest.h>

using namespace zent5;
using namespace zent5::stats;
using zent5::testing::MemoryCursor;

namespace {

MemoryCursor twoRows()
{
    MemoryCursor cursor;
    cursor.rows.push_back({{"N", 1.0}, {"TYPE", std::string("проволока")}, {"D", 5.0}, {"P", 12.34},
                           {"P_KG", 1258.0}, {"S", 436.0}, {"S_KG", 4446.0}});
    // Nulls, and text where a number belongs (a table another program wrote).
    cursor.rows.push_back({{"N", 2.0}, {"P", std::string("12.5")}, {"P_KG", 1275.0}, {"S_KG", std::string("")}});
    return cursor;
}

} // namespace

TEST(StatsRows, PickTheFieldsOfTheUnitsShown)
{
    const struct {
        const char* name;
        Units units;
        std::optional<double> force1, stress1, force2;
    } cases[] = {
        {"kN and MPa", Units::KiloNewton, 12.34, 436.0, std::nullopt},
        {"kgf and kgf/cm²", Units::KiloGramForce, 1258.0, 4446.0, 1275.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryCursor cursor = twoRows();
        const std::vector<StatsRow> rows = readStatsRows(cursor, c.units);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].number, 1.0);
        EXPECT_EQ(rows[0].type, "проволока");
        EXPECT_EQ(rows[0].diameter, 5.0);
        EXPECT_EQ(rows[0].force, c.force1);
        EXPECT_EQ(rows[0].stress, c.stress1);
        EXPECT_EQ(rows[1].number, 2.0);
        EXPECT_EQ(rows[1].type, "");
        EXPECT_EQ(rows[1].diameter, std::nullopt);
        EXPECT_EQ(rows[1].force, c.force2);
        EXPECT_EQ(rows[1].stress, std::nullopt);
    }
    MemoryCursor empty;
    EXPECT_TRUE(readStatsRows(empty, Units::KiloNewton).empty());
}
