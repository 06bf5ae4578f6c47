#include "stats/seriesstatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace zent5::stats;

namespace {

using Number = std::optional<double>;

void expectClose(const Number& actual, const Number& expected, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(actual.has_value(), expected.has_value());
    if (expected) {
        EXPECT_NEAR(*actual, *expected, 1e-12 * std::max(1.0, std::fabs(*expected)));
    }
}

std::vector<StatsRow> forces(const std::vector<double>& values)
{
    std::vector<StatsRow> rows;
    for (size_t i = 0; i < values.size(); ++i)
        rows.push_back({double(i + 1), "проволока", 5.0, values[i], std::nullopt});
    return rows;
}

std::vector<double> from(double first, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + i);
    return v;
}

struct HandCase {
    const char* name;
    std::vector<double> values;
    double mean, minimum, maximum;
    Number deviation, variation, characteristic;
};

const double kS7 = std::sqrt(2800.0 / 6);   // deviations ±10, ±20, ±30 and 0
const double kS10 = std::sqrt(82.5 / 9);    // 11..20: squared deviations sum to 82.5
const double kS25 = std::sqrt(1300.0 / 24); // 101..125: n(n²−1)/12 = 1300

const HandCase kHandCases[] = {
    {"n 1", {5}, 5, 5, 5, std::nullopt, std::nullopt, std::nullopt},
    {"n 2", {4, 6}, 5, 4, 6, std::sqrt(2.0), 100 * std::sqrt(2.0) / 5, std::nullopt},
    {"n 3", {10, 14, 12}, 12, 10, 14, 2, 100 * 2.0 / 12, 12 - 3.37 * 2},
    {"n 7", {1480, 1500, 1520, 1490, 1510, 1470, 1530}, 1500, 1470, 1530, kS7, 100 * kS7 / 1500,
     1500 - (2.18 - 0.18 * 4 / 7) * kS7},
    {"n 10", from(11, 10), 15.5, 11, 20, kS10, 100 * kS10 / 15.5, 15.5 - 1.92 * kS10},
    {"n 25", from(101, 25), 113, 101, 125, kS25, 100 * kS25 / 113, 113 - 1.742 * kS25},
    {"mean 0 has no coefficient of variation", {-1, 1}, 0, -1, 1, std::sqrt(2.0), std::nullopt, std::nullopt},
    {"negative mean: spread over its size", {-4, -6}, -5, -6, -4, std::sqrt(2.0), 100 * std::sqrt(2.0) / 5,
     std::nullopt},
    // The sum of squares would lose every digit of the spread here.
    {"far from zero", {1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16}, 1e9 + 10, 1e9 + 4, 1e9 + 16, std::sqrt(30.0),
     100 * std::sqrt(30.0) / (1e9 + 10), 1e9 + 10 - 2.63 * std::sqrt(30.0)},
};

} // namespace

TEST(SeriesStatistics, FiguresWorkedByHand)
{
    for (const HandCase& c : kHandCases) {
        SCOPED_TRACE(c.name);
        const auto series = seriesStatistics(forces(c.values), {});
        ASSERT_EQ(series.size(), 2u); // the one series and all rows
        for (const Series& s : series) {
            const QuantitySummary& f = s.force;
            EXPECT_EQ(f.count, c.values.size());
            EXPECT_EQ(f.empty, 0u);
            expectClose(f.mean, c.mean, "mean");
            expectClose(f.minimum, c.minimum, "min");
            expectClose(f.maximum, c.maximum, "max");
            expectClose(f.deviation, c.deviation, "s");
            expectClose(f.variation, c.variation, "cv");
            expectClose(f.characteristic, c.characteristic, "characteristic");
            EXPECT_FALSE(f.checked);
            EXPECT_EQ(s.stress.count, 0u);
            EXPECT_EQ(s.stress.empty, c.values.size());
        }
    }
}

TEST(SeriesStatistics, EqualValuesGiveNoSpreadAtAll)
{
    for (const double v : {12.34, 0.1, 436.7, 1258.0}) {
        SCOPED_TRACE(v);
        const QuantitySummary f = seriesStatistics(forces(std::vector<double>(7, v)), {}).front().force;
        EXPECT_EQ(f.mean, v);
        EXPECT_EQ(f.deviation, 0.0);
        EXPECT_EQ(f.variation, 0.0);
        EXPECT_EQ(f.characteristic, v);
    }
}

TEST(SeriesStatistics, SeriesByTypeAndDiameterInOrderOfFirstAppearance)
{
    const std::vector<StatsRow> rows = {
        {1, "проволока", 5.0, 10, 100},  {2, "канат", 15.0, 20, 200},      {3, "проволока", 5.0, 12, 120},
        {4, "проволока", std::nullopt, 30, 300}, {5, "", 5.0, 40, 400},     {6, "канат", 15.0, 22, 220},
        {7, "проволока", 7.5, 50, 500},  {8, "проволока", std::nullopt, 31, 310},
    };
    const auto series = seriesStatistics(rows, {});
    struct Expected {
        std::string type;
        Number diameter;
        std::vector<size_t> rows;
        double forceMean;
    };
    const Expected expected[] = {
        {"проволока", 5.0, {0, 2}, 11},
        {"канат", 15.0, {1, 5}, 21},
        {"проволока", std::nullopt, {3, 7}, 30.5}, // an empty diameter is a series of its own
        {"", 5.0, {4}, 40},
        {"проволока", 7.5, {6}, 50},
    };
    ASSERT_EQ(series.size(), std::size(expected) + 1);
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(series[i].allRows);
        EXPECT_EQ(series[i].type, expected[i].type);
        EXPECT_EQ(series[i].diameter, expected[i].diameter);
        EXPECT_EQ(series[i].rows, expected[i].rows);
        EXPECT_EQ(series[i].force.mean, expected[i].forceMean);
    }
    const Series& all = series.back();
    EXPECT_TRUE(all.allRows);
    EXPECT_EQ(all.rows, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(all.force.count, 8u);
    EXPECT_EQ(all.force.mean, (10 + 20 + 12 + 30 + 40 + 22 + 50 + 31) / 8.0);
    EXPECT_EQ(all.stress.maximum, 500);
}

TEST(SeriesStatistics, EmptyValuesAreLeftOutAndCountedApart)
{
    const Number none;
    const std::vector<StatsRow> rows = {
        {1, "канат", 9.0, 10, none}, {2, "канат", 9.0, none, 300}, {3, "канат", 9.0, 14, 500},
        {4, "канат", 9.0, none, none}, {5, "канат", 9.0, 12, 400},
    };
    const Series s = seriesStatistics(rows, {}).front();
    EXPECT_EQ(s.force.count, 3u);
    EXPECT_EQ(s.force.empty, 2u);
    EXPECT_EQ(s.force.mean, 12);
    EXPECT_EQ(s.force.deviation, 2);
    EXPECT_EQ(s.stress.count, 3u);
    EXPECT_EQ(s.stress.empty, 2u);
    EXPECT_EQ(s.stress.minimum, 300);
    EXPECT_EQ(s.stress.deviation, 100);

    // No value at all: no figure, only the count of empty rows.
    const QuantitySummary noStress = seriesStatistics(forces({1, 2, 3}), {}).front().stress;
    EXPECT_EQ(noStress.count, 0u);
    EXPECT_EQ(noStress.empty, 3u);
    EXPECT_FALSE(noStress.mean || noStress.minimum || noStress.maximum || noStress.deviation || noStress.variation ||
                 noStress.characteristic);
}

TEST(SeriesStatistics, NoRowsGiveTheLineOfAllRowsOnly)
{
    const auto series = seriesStatistics({}, {12.0, 400.0});
    ASSERT_EQ(series.size(), 1u);
    EXPECT_TRUE(series[0].allRows);
    EXPECT_EQ(series[0].force.count, 0u);
    EXPECT_FALSE(series[0].force.mean);
    EXPECT_TRUE(series[0].force.checked);
    EXPECT_TRUE(series[0].force.failed.empty());
}

TEST(SeriesStatistics, RowsBelowTheRequiredValueFail)
{
    const Number none;
    const std::vector<StatsRow> rows = {
        {1, "проволока", 5.0, 11.99, 390}, {2, "канат", 9.0, 12, 410},  {3, "проволока", 5.0, 13, 400},
        {4, "проволока", 5.0, none, 100},  {5, "канат", 9.0, 5, none},   {6, "проволока", 5.0, 0, 399.9},
    };
    const struct {
        const char* name;
        RequiredValues required;
        bool forceChecked, stressChecked;
        std::vector<size_t> wire, strand, all; // failed force rows
        std::vector<size_t> wireStress, strandStress, allStress;
    } cases[] = {
        {"force only: equal passes, empty never fails", {12.0, none}, true, false, {0, 5}, {4}, {0, 4, 5}, {}, {}, {}},
        {"stress only", {none, 400.0}, false, true, {}, {}, {}, {0, 3, 5}, {}, {0, 3, 5}},
        {"both", {5.0, 100.0}, true, true, {5}, {}, {5}, {}, {}, {}},
        {"none given", {}, false, false, {}, {}, {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto series = seriesStatistics(rows, c.required);
        ASSERT_EQ(series.size(), 3u);
        for (const Series& s : series) {
            EXPECT_EQ(s.force.checked, c.forceChecked);
            EXPECT_EQ(s.stress.checked, c.stressChecked);
        }
        EXPECT_EQ(series[0].force.failed, c.wire);
        EXPECT_EQ(series[1].force.failed, c.strand);
        EXPECT_EQ(series[2].force.failed, c.all);
        EXPECT_EQ(series[0].stress.failed, c.wireStress);
        EXPECT_EQ(series[1].stress.failed, c.strandStress);
        EXPECT_EQ(series[2].stress.failed, c.allStress);
    }
}
