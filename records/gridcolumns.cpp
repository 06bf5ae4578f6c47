#include "records/gridcolumns.h"

#include "records/fieldname.h"

#include <algorithm>
#include <cstdint>

namespace zent5 {

namespace {

GridColumn column(const char* field, const char* caption, int width, ColumnAlignment alignment,
                  GridFormat format, bool editable)
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.Width = width;
    c.Alignment = alignment;
    c.format = format;
    c.editable = editable;
    c.units = unitsOfField(field);
    return c;
}

} // namespace

GridColumns GridColumns::measurement()
{
    using A = ColumnAlignment;
    using D = GridFormat;
    GridColumns g;
    g.m_columns = {
        column("N", "N", 143, A::taCenter, D::General, false),
        column("DATE", "Дата", 133, A::taCenter, D::Text, false),
        column("TIME", "Время", 124, A::taCenter, D::Text, false),
        column("TYPE", "Тип арматуры", 118, A::taCenter, D::Text, false),
        column("D", "d, мм", 116, A::taRightJustify, D::General, false),
        column("P", "F, кН", 116, A::taRightJustify, D::Fixed2, false),
        column("P_KG", "F, кГс", 114, A::taRightJustify, D::General, false),
        column("S", "б, МПа", 110, A::taRightJustify, D::Fixed1, false),
        column("S_KG", "б, кГс/кв.см", 110, A::taRightJustify, D::General, false),
        column("F_MM", "S, кв.см", 70, A::taRightJustify, D::General, false),
        column("F", "S, кв.мм", 56, A::taRightJustify, D::General, true),
        column("COMMENT", "Примечание", 111, A::taCenter, D::Text, true),
    };
    for (int i = 0; i < g.size(); ++i)
        g[i].LayoutIndex = i;
    // The window's definition leaves a sort mark here; start-up clears it.
    g[g.indexOf("F_MM")].TitleState = GridTitleState::tsSortedUp;
    return g;
}

int GridColumns::indexOf(std::string_view field) const
{
    for (int i = 0; i < size(); ++i)
        if (sameFieldName(m_columns[size_t(i)].field, field))
            return i;
    return -1;
}

GridColumn* GridColumns::find(std::string_view field)
{
    const int i = indexOf(field);
    return i < 0 ? nullptr : &m_columns[size_t(i)];
}

void GridColumns::showUnits(Units units)
{
    for (GridColumn& c : m_columns)
        if (c.units)
            c.visible = *c.units == units;
}

void GridColumns::clearSortMarks()
{
    for (GridColumn& c : m_columns)
        c.TitleState = GridTitleState::tsSortedNone;
}

void GridColumns::setEqualWidths(int gridWidth)
{
    if (m_columns.empty())
        return;
    const int w = std::max(2, gridWidth / size());
    for (GridColumn& c : m_columns)
        c.Width = w;
}

bool GridColumns::titleClick(int index, bool ctrl)
{
    if (index < 0 || index >= size())
        return false;
    GridColumn& clicked = m_columns[size_t(index)];
    const GridTitleState before = clicked.TitleState;
    GridTitleState after = GridTitleState::tsSortedNone;
    if (!ctrl)
        after = before == GridTitleState::tsSortedUp ? GridTitleState::tsSortedDown : GridTitleState::tsSortedUp;
    for (GridColumn& c : m_columns)
        c.TitleState = GridTitleState::tsSortedNone;
    clicked.TitleState = after;
    return after != before;
}

std::vector<int> GridColumns::visibleIndexes() const
{
    std::vector<int> result;
    for (int i = 0; i < size(); ++i)
        if (m_columns[size_t(i)].visible)
            result.push_back(i);
    return result;
}

std::vector<int> auto_fit_widths(const std::vector<int>& widths, int available)
{
    std::vector<int> result(widths.size(), 0);
    if (widths.empty() || available <= 0)
        return result;
    int64_t total = 0;
    for (int w : widths)
        total += std::max(1, w);
    int used = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        result[i] = int(int64_t(std::max(1, widths[i])) * available / total);
        used += result[i];
    }
    for (size_t i = 0; used < available; i = (i + 1) % widths.size(), ++used)
        ++result[i];
    return result;
}

std::vector<int> drag_border_widths(const std::vector<int>& widths, size_t column, int wanted, int minimum)
{
    std::vector<int> result = widths;
    if (column + 1 >= widths.size())
        return result;
    int right = 0;
    for (size_t i = column + 1; i < widths.size(); ++i)
        right += widths[i];
    const int rightCount = int(widths.size() - column - 1);
    const int most = std::max(minimum, widths[column] + right - minimum * rightCount);
    const int width = std::clamp(wanted, minimum, most);
    result[column] = width;
    // Share out what is left for the columns on the right, in proportion;
    // a column that would fall below the minimum keeps the minimum and the
    // others share the rest.
    int available = right - (width - widths[column]);
    std::vector<size_t> open;
    for (size_t i = column + 1; i < widths.size(); ++i)
        open.push_back(i);
    while (!open.empty()) {
        std::vector<int> proportions;
        for (size_t i : open)
            proportions.push_back(widths[i]);
        const std::vector<int> shared = auto_fit_widths(proportions, std::max(0, available));
        std::vector<size_t> stillOpen;
        for (size_t k = 0; k < open.size(); ++k) {
            if (shared[k] < minimum) {
                result[open[k]] = minimum;
                available -= minimum;
            } else {
                stillOpen.push_back(open[k]);
            }
        }
        if (stillOpen.size() == open.size()) {
            for (size_t k = 0; k < open.size(); ++k)
                result[open[k]] = shared[k];
            break;
        }
        open = std::move(stillOpen);
    }
    return result;
}

} // namespace zent5
