#pragma once

#include "records/gridcolumns.h"

#include <string>

namespace zent5 {

class DataGrid;
class SettingsStore;

// The column layout as text: an object block for the layout storage whose
// Data holds one item block per column in grid order. Each item names its
// field and lists the layout properties (Width, LayoutLevel, LayoutIndex,
// TitleState, FooterState, OptionsVisual, Color, Alignment, Font) that
// differ from a fresh column's; every line ends with CR LF.
std::string layout_text(const GridColumns& columns);

// Copies the layout properties of each stored column into the grid column
// of the same field name (without regard to case). Stored columns without
// a grid column are skipped; grid columns not stored keep their properties.
// Text that is not a layout throws zent5::Error and changes nothing.
void apply_layout_text(const std::string& text, GridColumns& columns);

inline constexpr const char* layout_parse_error = "Ошибка в описании столбцов таблицы";

// The layout kept in the setting "Table_1". Loading without a stored value
// fits the columns and stores the result at once.
void load_layout(SettingsStore& settings, DataGrid& grid);
void save_layout(SettingsStore& settings, const DataGrid& grid);

} // namespace zent5
