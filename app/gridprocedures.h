#pragma once

#include "records/units.h"

namespace zent5 {

class DataGrid;

// Shows the force, stress and area columns of the system of units; the
// six other columns stay.
void set_vis_on_dimens(DataGrid& grid, Units units);

// Clears every column's sort mark. Raises no title event and leaves the
// row order alone; dropping a sort index is the sort reset's business.
void clear_sort_marks(DataGrid& grid);

// Every column's colour, hidden columns' too, back to clNone.
void clear_colors(DataGrid& grid);

// Equal widths: auto-fit off, every column (hidden ones too) gets the
// grid's width divided by twelve, auto-fit on again, repaint.
void fit_columns(DataGrid& grid);

} // namespace zent5
