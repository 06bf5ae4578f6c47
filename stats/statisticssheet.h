#pragma once

#include "print/chartcontent.h"
#include "records/units.h"
#include "stats/quantity.h"
#include "stats/requiredvalues.h"
#include "stats/seriesstatistics.h"

#include <optional>
#include <string>
#include <vector>

namespace zent5::stats {

// The rows the statistics are taken of, as the window and the tool hand them over.
struct StatisticsInput {
    std::vector<StatsRow> rows; // in the order shown; force and stress in the units shown
    bool selection = false;     // the rows selected in the grid rather than all of them
    Units dimension = Units::KiloNewton; // the system of units shown
    std::string tableName;      // the table file's name, for the printed title
};

// "Все строки: 24", or "Выделено строк: 7" for a selection.
std::string sourceLine(size_t rows, bool selection);

// "А500С, d 12 мм" for a series of one type and diameter ("без типа" and
// "без d" for empty fields), "Все строки" for the rows together.
std::string seriesName(const Series& series, char separator);

// "Усилие" or "Напряжение".
std::string quantityName(Quantity q);
// "F, кН", "σ, МПа", "F, кГс", "σ, кГс/кв.см".
std::string quantityTitle(Quantity q, Units dimension);

// The figures of every series, force then stress, one line each, in texts
// as the window shows and the page prints them.
struct FigureLine {
    size_t series = 0; // index into the series
    Quantity quantity = Quantity::Force;
    std::vector<std::string> cells;          // one per heading but the last
    std::vector<std::string> failedNumbers;  // N of the failed rows that have one
};

struct FigureTable {
    std::vector<std::string> headings; // the last one is the column of failedNumbers
    std::vector<FigureLine> lines;
};

FigureTable figureTable(const std::vector<Series>& series, const std::vector<StatsRow>& rows, Units dimension,
                        char separator);

// The first `shown` numbers joined by ", ", then "… ещё K" for the rest.
std::string failedNumbersText(const std::vector<std::string>& numbers, size_t shown);

// The chart of one quantity of one series: the value of each of its rows at
// the row's place in the series (1, 2, ...), the failed ones apart in red,
// and lines at the mean, the characteristic value and `required` (in the
// units shown) where they exist.
ChartContent statisticsChart(const Series& series, const std::vector<StatsRow>& rows, Quantity q, Units dimension,
                             const std::optional<double>& required, char separator);

// The colours of the chart, 0xRRGGBB.
inline constexpr uint32_t kPassedColour = 0x1F77B4;
inline constexpr uint32_t kFailedColour = 0xD62728;
inline constexpr uint32_t kMeanColour = 0x2CA02C;
inline constexpr uint32_t kCharacteristicColour = 0xFF7F0E;
inline constexpr uint32_t kRequiredColour = 0xD62728;

// The series a chart shows first: all rows together, the last series.
inline size_t firstChartSeries(const std::vector<Series>& series) { return series.empty() ? 0 : series.size() - 1; }

} // namespace zent5::stats
