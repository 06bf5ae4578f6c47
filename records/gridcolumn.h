#pragma once

#include "records/units.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zent5 {

// Colours are 0x00BBGGRR. clNone means "no colour of its own": the cells
// take the grid's background.
inline constexpr uint32_t clNone = 0x1FFFFFFF;

enum class GridTitleState { tsSortedNone, tsSortedUp, tsSortedDown };
enum class ColumnAlignment { taLeftJustify, taRightJustify, taCenter };

// How a cell's value is shown. General: the shortest decimal form with up
// to 15 significant digits; Fixed2 and Fixed1: exactly two or one decimals.
enum class GridFormat { General, Text, Fixed2, Fixed1 };

struct ColumnFont {
    std::string name = "MS Sans Serif";
    int size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint32_t color = 0x000000; // 0x00BBGGRR

    bool operator==(const ColumnFont&) const = default;
};

// One column of the data grid. The first group is fixed by the program; the
// second is what the commands change and the column layout keeps.
struct GridColumn {
    std::string field;
    std::string caption;
    GridFormat format = GridFormat::General;
    bool editable = false;
    // The system of units that shows the column; nothing: both do.
    std::optional<Units> units;
    bool visible = true;

    int Width = 64; // pixels, before auto-fit scales the visible columns
    int LayoutLevel = 0;
    int LayoutIndex = 0;
    GridTitleState TitleState = GridTitleState::tsSortedNone;
    int FooterState = 0;     // footers are off in this grid
    uint32_t OptionsVisual = 0;
    uint32_t Color = clNone;
    ColumnAlignment Alignment = ColumnAlignment::taLeftJustify;
    ColumnFont Font;
};

} // namespace zent5
