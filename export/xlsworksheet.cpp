#include "xlsworksheet.h"

#include "xlstext.h"
#include "xlsworkbook.h"

#include <algorithm>
#include <stdexcept>

namespace zent5 {
namespace {

bool intersects(const XlsRange& r, int left, int top, int right, int bottom)
{
    return r.Left() <= right && left <= r.Right() && r.Top() <= bottom && top <= r.Bottom();
}

void widen(int32_t& low, int32_t& high, int from, int to)
{
    if (low < 0 || from < low)
        low = from;
    if (high < 0 || to > high)
        high = to;
}

} // namespace

XlsWorksheet::XlsWorksheet(XlsWorkbook& workbook, std::string name) : m_workbook(&workbook), m_name(std::move(name))
{
}

XlsWorksheet::~XlsWorksheet()
{
    for (XlsRange* r : m_ranges)
        m_store.release(r);
}

int XlsWorksheet::Index() const { return m_workbook->IndexOf(*this); }

void XlsWorksheet::SetName(std::string_view name)
{
    m_name = xlstext::toUtf8(xlstext::cutAndTrim(xlstext::fromUtf8(name), 31));
}

int XlsWorksheet::FirstRangeReaching(int row) const
{
    const int key = row - m_tallestRange + 1;
    return int(std::lower_bound(m_tops.begin(), m_tops.end(), key) - m_tops.begin());
}

XlsRange& XlsWorksheet::Range(int left, int top, int right, int bottom)
{
    if (left < 0 || top < 0 || right < left || bottom < top)
        throw std::invalid_argument("XlsWorksheet::Range: bad bounds");

    XlsRange* result = nullptr;
    bool removed = false;
    // No range before this position can reach down to row `top`.
    size_t i = size_t(FirstRangeReaching(top));
    size_t ins = i;
    while (i < m_ranges.size() && m_tops[i] <= bottom) {
        XlsRange& r = *m_ranges[i];
        if (r.Left() == left && r.Top() == top && r.Right() == right && r.Bottom() == bottom) {
            result = &r;
            break;
        }
        if (intersects(r, left, top, right, bottom)) {
            m_store.release(m_ranges[i]);
            m_ranges.erase(m_ranges.begin() + std::ptrdiff_t(i));
            m_tops.erase(m_tops.begin() + std::ptrdiff_t(i));
            removed = true;
            continue;
        }
        if (m_tops[ins] <= top)
            ++ins;
        ++i; // the loop condition already holds top <= bottom here
    }

    if (!result) {
        // The two lists stay in step also when memory runs out.
        m_ranges.insert(m_ranges.begin() + std::ptrdiff_t(ins), nullptr);
        try {
            m_tops.insert(m_tops.begin() + std::ptrdiff_t(ins), top);
            try {
                result = m_store.make(*this, left, top, right, bottom);
            } catch (...) {
                m_tops.erase(m_tops.begin() + std::ptrdiff_t(ins));
                throw;
            }
        } catch (...) {
            m_ranges.erase(m_ranges.begin() + std::ptrdiff_t(ins));
            throw;
        }
        m_ranges[ins] = result;
    }

    const int height = bottom - top + 1;
    if (removed) {
        m_tallestRange = 1;
        for (const XlsRange* r : m_ranges)
            m_tallestRange = std::max(m_tallestRange, r->Bottom() - r->Top() + 1);
    } else if (height > m_tallestRange) {
        m_tallestRange = height;
    }

    widen(m_usedArea.Left, m_usedArea.Right, left, right);
    widen(m_usedArea.Top, m_usedArea.Bottom, top, bottom);
    return *result;
}

const XlsColumnInfo* XlsWorksheet::ColumnInfo(int column) const
{
    for (const auto& c : ColumnInfos)
        if (c.Column == column)
            return &c;
    return nullptr;
}

const XlsRowInfo* XlsWorksheet::RowInfo(int row) const
{
    for (const auto& r : RowInfos)
        if (r.Row == row)
            return &r;
    return nullptr;
}

} // namespace zent5
