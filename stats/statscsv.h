#pragma once

#include "stats/seriesstatistics.h"

#include <string>
#include <string_view>
#include <vector>

namespace zent5::stats {

// The heading line of the figures as CSV.
inline constexpr std::string_view kStatsCsvHeading =
    "type,diameter,quantity,n,mean,min,max,s,cv,characteristic,failed,failed_n,empty\n";

// The type column of the line of all rows together.
inline constexpr std::string_view kAllRowsType = "Всего";

// A number for a file: "." as the decimal separator and up to 15
// significant digits, whatever the C locale ("436", "12.3456666666667",
// "1e-05").
std::string fileNumber(double value);

// The figures as UTF-8 CSV: the heading, then per series its force line and
// its stress line, the quantity named by `forceName` and `stressName`.
// Absent figures are empty fields; failed and failed_n are empty when no
// required value was given; failed_n lists the N of the failed rows that
// have one, separated by spaces.
std::string statisticsCsv(const std::vector<Series>& series, const std::vector<StatsRow>& rows,
                          std::string_view forceName, std::string_view stressName);

} // namespace zent5::stats
