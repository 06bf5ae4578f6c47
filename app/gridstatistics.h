#pragma once

#include "stats/statisticssheet.h"

#include <vector>

namespace zent5 {

class DataGrid;
class TableRows;

// The rows the statistics window is computed from: the rows selected in the
// grid when more than one is, otherwise every row it shows; in the order the
// grid shows them, force and stress of the system of units.
stats::StatisticsInput grid_statistics_input(DataGrid& grid, Units dimension);

// The given rows of the grid's table rows, in the order given.
std::vector<stats::StatsRow> grid_stats_rows(const TableRows& source, const std::vector<int>& rows, Units dimension);

} // namespace zent5
