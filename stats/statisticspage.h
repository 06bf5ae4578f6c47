#pragma once

#include "print/pagemodel.h"
#include "stats/statisticssheet.h"

#include <string>
#include <vector>

namespace zent5::stats {

// What the printed page of the statistics holds.
struct StatisticsPage {
    std::vector<std::string> infoLines; // the table, the rows taken, the required values, the chart shown
    FigureTable figures;
    ChartContent chart;
};

// The page of the figures of `series` (taken of `input` against `required`,
// in the units shown) with the chart of one quantity of one series: what the
// statistics window prints and `zent5-tool stats --pdf` writes.
StatisticsPage statisticsPage(const StatisticsInput& input, const std::vector<Series>& series,
                              const RequiredValues& required, size_t chartSeries, Quantity chartQuantity,
                              char separator);

// A4 landscape: on the first page the title, the lines and the chart, then
// the table of figures, over more pages when it is long, with its headings
// on every page and the page number at the foot of each. The N of the failed
// rows are cut to what fits their cell ("… ещё K"). Needs a running
// QGuiApplication for the font metrics.
ComposedReport composeStatisticsPage(const StatisticsPage& page);

} // namespace zent5::stats
