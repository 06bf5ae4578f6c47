#include "app/gridstatistics.h"

#include "app/datagrid.h"
#include "stats/shownunits.h"
#include "stats/statsrows.h"

#include <numeric>

namespace zent5 {

stats::StatisticsInput grid_statistics_input(DataGrid& grid, bool dimension)
{
    stats::StatisticsInput input;
    input.dimension = dimension;
    const GridRowSource* source = grid.gridModel().rowSource();
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

std::vector<stats::StatsRow> grid_stats_rows(const GridRowSource& source, const std::vector<int>& rows,
                                             bool dimension)
{
    const stats::ShownUnits units = stats::shownUnits(dimension);
    std::vector<stats::StatsRow> out;
    out.reserve(rows.size());
    for (const int r : rows)
        out.push_back(stats::statsRow(source.value(r, "N"), source.value(r, "TYPE"), source.value(r, "D"),
                                      source.value(r, units.forceField), source.value(r, units.stressField)));
    return out;
}

} // namespace zent5
