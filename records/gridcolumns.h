#pragma once

#include "records/gridcolumn.h"

#include <string_view>
#include <vector>

namespace zent5 {

// The grid's column collection, in grid order. Plain data, so the commands
// and the column layout can work on it without a window.
class GridColumns {
public:
    // The twelve columns of the measurement grid as the window defines them.
    static GridColumns measurement();

    int size() const { return int(m_columns.size()); }
    GridColumn& operator[](int index) { return m_columns.at(size_t(index)); }
    const GridColumn& operator[](int index) const { return m_columns.at(size_t(index)); }
    std::vector<GridColumn>::iterator begin() { return m_columns.begin(); }
    std::vector<GridColumn>::iterator end() { return m_columns.end(); }
    std::vector<GridColumn>::const_iterator begin() const { return m_columns.begin(); }
    std::vector<GridColumn>::const_iterator end() const { return m_columns.end(); }

    // Field names compare without regard to (ASCII) case. -1 / nullptr when absent.
    int indexOf(std::string_view field) const;
    GridColumn* find(std::string_view field);

    // Shows the columns of the system of units and hides those of the
    // other; the columns both show stay as they are. Other properties stay.
    void showUnits(Units units);
    void clearSortMarks();
    // Every column, hidden ones included, gets the grid width divided by
    // the number of columns; never less than 2.
    void setEqualWidths(int gridWidth);
    // The sort-mark cycle of a title click: none -> up -> down -> up; with
    // Ctrl, none. Every other mark becomes none. True when the clicked
    // column's mark changed.
    bool titleClick(int index, bool ctrl);

    std::vector<int> visibleIndexes() const;

private:
    std::vector<GridColumn> m_columns;
};

// Auto-fit: scales the widths so that together they fill `available`
// pixels, keeping their proportions; the parts left over by rounding go to
// the first columns, so the sum is exact.
std::vector<int> auto_fit_widths(const std::vector<int>& widths, int available);

// A title border dragged while auto-fit is on: the column at `column` of the
// visible widths `widths` wants `wanted` pixels, and the columns to its
// right give or take the difference together, in proportion to their
// widths, none below `minimum`, so the sum stays the same. The dragged
// column's width is held where they can give no more; the last column
// keeps its width.
std::vector<int> drag_border_widths(const std::vector<int>& widths, size_t column, int wanted, int minimum);

} // namespace zent5
