#include "stats/seriesstatistics.h"
#include "stats/statisticspage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace zent5;
using namespace zent5::stats;

namespace {

StatisticsInput inputOf(std::vector<StatsRow> rows) { return {std::move(rows), false, Units::KiloNewton, "May.db"}; }

ComposedReport composed(const StatisticsInput& input, const RequiredValues& required)
{
    const std::vector<Series> series = seriesStatistics(input.rows, required);
    return composeStatisticsPage(
        statisticsPage(input, series, required, firstChartSeries(series), Quantity::Force, ','));
}

std::vector<const PlacedBand*> bandsOf(const Page& page, BandKind kind)
{
    std::vector<const PlacedBand*> found;
    for (const PlacedBand& b : page.bands)
        if (b.kind == kind)
            found.push_back(&b);
    return found;
}

std::string footerOf(const Page& page)
{
    const auto footers = bandsOf(page, BandKind::PageFooter);
    return footers.size() == 1 && !footers[0]->cells.empty() ? footers[0]->cells[0].text : "(no footer)";
}

} // namespace

TEST(StatisticsPage, AFewSeriesFitOnePageWithTheChartOnTop)
{
    const StatisticsInput input = inputOf({{1, "А500С", 12, 41.2, 525.0}, {2, "А240", 8, 20.0, 398.0}});
    const ComposedReport report = composed(input, {30.0, std::nullopt});
    ASSERT_EQ(report.pages.size(), 1u);
    const Page& page = report.pages[0];
    EXPECT_TRUE(report.page.landscape);
    EXPECT_EQ(report.page.paperSize, 9) << "A4";
    EXPECT_EQ(bandsOf(page, BandKind::ReportTitle).size(), 1u);
    EXPECT_EQ(page.dataRowCount(), 6) << "two series and all rows, force and stress each";
    EXPECT_EQ(footerOf(page), "Стр. 1 из 1");
    ASSERT_EQ(page.charts.size(), 1u);
    const PlacedChart& chart = page.charts[0];
    EXPECT_EQ(chart.content.title, "Все строки (n = 2)");
    // Beside the title and its lines, above the figures.
    const PlacedBand& header = *bandsOf(page, BandKind::PageHeader).at(0);
    EXPECT_LE(chart.y + chart.height, header.top);
    EXPECT_LE(chart.x + chart.width, report.page.width() - report.page.marginRight + 1e-9);
    const std::string info = bandsOf(page, BandKind::ReportTitle)[0]->cells.at(1).text;
    EXPECT_EQ(info, "Таблица: May.db\nВсе строки: 2\nТребуемое усилие: 30,00 кН\n"
                    "Требуемое напряжение: не задано\nГрафик: Усилие, Все строки");
}

TEST(StatisticsPage, ManySeriesGoOnOverPagesWithTheHeadingsOnEach)
{
    std::vector<StatsRow> rows;
    for (int i = 1; i <= 30; ++i)
        rows.push_back({double(i), "Т" + std::to_string(i), 10, 40.0 + i, 500.0 + i});
    const ComposedReport report = composed(inputOf(rows), {});
    ASSERT_GE(report.pages.size(), 3u);
    int lines = 0;
    for (const Page& page : report.pages) {
        SCOPED_TRACE(page.number);
        EXPECT_EQ(bandsOf(page, BandKind::PageHeader).size(), 1u);
        EXPECT_EQ(bandsOf(page, BandKind::ReportTitle).size(), page.number == 1 ? 1u : 0u);
        EXPECT_EQ(page.charts.size(), page.number == 1 ? 1u : 0u);
        EXPECT_EQ(footerOf(page), "Стр. " + std::to_string(page.number) + " из " +
                                      std::to_string(report.pages.size()));
        lines += page.dataRowCount();
    }
    EXPECT_EQ(lines, 62);
}

TEST(StatisticsPage, TheFailedNumbersAreCutToWhatFitsTheirCell)
{
    std::vector<StatsRow> rows;
    for (int i = 1; i <= 200; ++i)
        rows.push_back({double(1000 + i), "А500С", 12, 10.0, 100.0});
    const ComposedReport report = composed(inputOf(rows), {20.0, std::nullopt});
    const PlacedCell& numbers = bandsOf(report.pages[0], BandKind::MasterData).at(0)->cells.back();
    EXPECT_FALSE(numbers.clipped);
    ASSERT_EQ(numbers.lines.size(), 1u);
    EXPECT_LE(numbers.lines[0].width, numbers.width);
    const size_t more = numbers.text.rfind("… ещё ");
    ASSERT_NE(more, std::string::npos) << numbers.text;
    EXPECT_EQ(numbers.text.rfind("1001, 1002, ", 0), 0u) << numbers.text;
    const size_t shown = size_t(std::count(numbers.text.begin(), numbers.text.end(), ','));
    EXPECT_EQ(shown + std::stoul(numbers.text.substr(more + std::string("… ещё ").size())), 200u) << numbers.text;
}
