#include "stats/seriesstatistics.h"
#include "stats/statisticssheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zent5;
using namespace zent5::stats;

namespace {

const std::optional<double> none;

// Series А500С on rows 0, 2, 3 and 4 (row 3 without a force), another
// series between them.
const std::vector<StatsRow> kRows = {{1, "А500С", 12, 41.2, 525.0},
                                     {2, "А240", 8, 20.0, 398.0},
                                     {3, "А500С", 12, 38.5, 490.1},
                                     {4, "А500С", 12, none, 560.3},
                                     {5, "А500С", 12, 44.0, 600}};

void expectTicksInside(const ChartAxis& axis)
{
    ASSERT_LT(axis.minimum, axis.maximum);
    ASSERT_GE(axis.ticks.size(), 3u);
    for (size_t i = 0; i < axis.ticks.size(); ++i) {
        EXPECT_GE(axis.ticks[i].value, axis.minimum);
        EXPECT_LE(axis.ticks[i].value, axis.maximum);
        if (i > 0) {
            EXPECT_GT(axis.ticks[i].value, axis.ticks[i - 1].value);
        }
    }
}

} // namespace

TEST(StatisticsChart, RowsAtTheirPlaceInTheSeriesFailedOnesApartAndTheLevels)
{
    const std::vector<Series> series = seriesStatistics(kRows, {40.0, none});
    const ChartContent chart = statisticsChart(series[0], kRows, Quantity::Force, Units::KiloNewton, 40.0, ',');

    EXPECT_EQ(chart.title, "А500С, d 12 мм (n = 3)");
    ASSERT_EQ(chart.marks.size(), 2u);
    EXPECT_EQ(chart.marks[0].label, "Испытания");
    EXPECT_EQ(chart.marks[0].colour, kPassedColour);
    EXPECT_EQ(chart.marks[0].points, (std::vector<ChartPoint>{{1, 41.2}, {4, 44.0}})) << "place 3 has no force";
    EXPECT_EQ(chart.marks[1].label, "Ниже требуемого: 1");
    EXPECT_EQ(chart.marks[1].colour, kFailedColour);
    EXPECT_NE(kFailedColour, kPassedColour);
    EXPECT_EQ(chart.marks[1].points, (std::vector<ChartPoint>{{2, 38.5}}));

    ASSERT_EQ(chart.levels.size(), 3u);
    const struct {
        const char* label;
        double value;
        uint32_t colour;
        ChartLineStyle style;
    } levels[] = {
        {"Среднее 41,23", 123.7 / 3, kMeanColour, ChartLineStyle::Solid},
        {"Характ. значение 31,97", 31.965322741338234, kCharacteristicColour, ChartLineStyle::Dashed},
        {"Требуемое 40,00", 40.0, kRequiredColour, ChartLineStyle::Dotted},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(levels[i].label);
        EXPECT_EQ(chart.levels[i].label, levels[i].label);
        EXPECT_NEAR(chart.levels[i].value, levels[i].value, 1e-9);
        EXPECT_EQ(chart.levels[i].colour, levels[i].colour);
        EXPECT_EQ(chart.levels[i].style, levels[i].style);
    }

    EXPECT_EQ(chart.x.title, "Номер испытания в серии");
    EXPECT_EQ(chart.x.minimum, 0.5);
    EXPECT_EQ(chart.x.maximum, 4.5);
    ASSERT_EQ(chart.x.ticks.size(), 4u);
    EXPECT_EQ(chart.x.ticks[3].text, "4");

    EXPECT_EQ(chart.y.title, "Усилие F, кН");
    expectTicksInside(chart.y);
    EXPECT_LT(chart.y.minimum, 31.96);
    EXPECT_GT(chart.y.maximum, 44.0);
    for (const ChartTick& t : chart.y.ticks) {
        SCOPED_TRACE(t.text);
        EXPECT_EQ(t.text.size() - t.text.find(','), 3u) << "two decimals, as the grid shows a force";
    }
}

TEST(StatisticsChart, WithoutARequiredValueEveryRowIsOneMark)
{
    const std::vector<Series> series = seriesStatistics(kRows, {});
    const ChartContent chart = statisticsChart(series.back(), kRows, Quantity::Stress, Units::KiloGramForce, none, '.');
    ASSERT_EQ(chart.marks.size(), 1u);
    EXPECT_EQ(chart.marks[0].points.size(), 5u);
    EXPECT_EQ(chart.marks[0].points[1], (ChartPoint{2, 398.0})) << "all rows: every row at its own place";
    ASSERT_EQ(chart.levels.size(), 2u);
    EXPECT_EQ(chart.y.title, "Напряжение σ, кГс/кв.см");
    EXPECT_EQ(chart.title, "Все строки (n = 5)");
}

TEST(StatisticsChart, EqualValuesAndNoValuesStillGiveARange)
{
    const std::vector<StatsRow> rows = {{1, "канат", 15, 50, none}, {2, "канат", 15, 50, none}};
    const std::vector<Series> series = seriesStatistics(rows, {});
    const ChartContent equal = statisticsChart(series[0], rows, Quantity::Force, Units::KiloNewton, none, ',');
    expectTicksInside(equal.y);
    EXPECT_LT(equal.y.minimum, 50);
    EXPECT_GT(equal.y.maximum, 50);
    EXPECT_EQ(equal.levels.size(), 1u) << "two values have a mean but no characteristic value";

    const ChartContent empty = statisticsChart(series[0], rows, Quantity::Stress, Units::KiloNewton, 30.0, ',');
    EXPECT_TRUE(empty.marks[0].points.empty());
    ASSERT_EQ(empty.levels.size(), 1u);
    EXPECT_EQ(empty.levels[0].label, "Требуемое 30,0");
    EXPECT_LT(empty.y.minimum, 30);
    EXPECT_GT(empty.y.maximum, 30);
}
