#include "app/gridprocedures.h"

#include "app/datagrid.h"

namespace zent5 {

void set_vis_on_dimens(DataGrid& grid, Units units)
{
    grid.columns().showUnits(units);
    grid.applyColumns();
}

void clear_sort_marks(DataGrid& grid)
{
    grid.columns().clearSortMarks();
    grid.applyColumns();
}

void clear_colors(DataGrid& grid)
{
    for (GridColumn& c : grid.columns())
        c.Color = clNone;
    grid.applyColumns();
}

void fit_columns(DataGrid& grid)
{
    grid.setAutoFit(false);
    grid.columns().setEqualWidths(grid.gridWidth());
    grid.setAutoFit(true);
    grid.viewport()->update();
}

} // namespace zent5
