#include "app/gridstatistics.h"

#include "app/datagrid.h"
#include "app/tablerows.h"
#include "stats/statsrows.h"

#include <numeric>

namespace zent5 {

stats::StatisticsInput grid_statistics_input(DataGrid& grid, Units dimension)
{
    stats::StatisticsInput input;
    input.dimension = dimension;
    const TableRows* source = grid.tableRows();
    if (!source)
        return input;
    std::vector<int> rows = grid.selectedRows();
    input.selection = rows.size() > 1;
    if (!input.selection) {
        rows.resize(size_t(source->rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    input.rows = grid_stats_rows(*source, rows, dimension);
    return input;
}

std::vector<stats::StatsRow> grid_stats_rows(const TableRows& source, const std::vector<int>& rows, Units dimension)
{
    // Five fields of every row: straight from the file, past the grid's blocks of all twelve.
    std::vector<stats::StatsRow> out;
    out.reserve(rows.size());
    for (const int r : rows)
        out.push_back(
            stats::statsRowOf(dimension, [&](std::string_view field) { return source.storedValue(r, field); }));
    return out;
}

} // namespace zent5
