#include "app/gridstatistics.h"

#include "app/datagrid.h"
#include "app/tablerows.h"
#include "stats/shownunits.h"
#include "stats/statsrows.h"

#include <numeric>

namespace zent5 {

stats::StatisticsInput grid_statistics_input(DataGrid& grid, bool dimension)
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

std::vector<stats::StatsRow> grid_stats_rows(const TableRows& source, const std::vector<int>& rows, bool dimension)
{
    // Five fields of every row: straight from the file, past the grid's blocks of all twelve.
    const stats::ShownUnits units = stats::shownUnits(dimension);
    std::vector<stats::StatsRow> out;
    out.reserve(rows.size());
    for (const int r : rows)
        out.push_back(stats::statsRow(source.storedValue(r, "N"), source.storedValue(r, "TYPE"),
                                      source.storedValue(r, "D"), source.storedValue(r, units.forceField),
                                      source.storedValue(r, units.stressField)));
    return out;
}

} // namespace zent5
