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

XlsWorksheet::XlsWorksheet(XlsWorkbook& workbook, std::string name)
    : m_workbook(&workbook), m_name(std::move(name)), m_store(*this)
{
}

XlsWorksheet::~XlsWorksheet()
{
    for (const uint32_t id : m_ranges)
        m_store.destroy(id);
}

int XlsWorksheet::Index() const { return m_workbook->IndexOf(*this); }

void XlsWorksheet::SetName(std::string_view name)
{
    m_name = xlstext::toUtf8(xlstext::cutAndTrim(xlstext::fromUtf8(name), 31));
}

int XlsWorksheet::FirstRangeReaching(int row) const
{
    const int key = row - m_tallestRange + 1;
    const auto at = std::partition_point(m_ranges.begin(), m_ranges.end(),
                                         [&](uint32_t id) { return m_store.at(id).Top() < key; });
    return int(at - m_ranges.begin());
}

bool XlsWorksheet::goesAtEnd(int left, int top) const
{
    if (m_ranges.empty())
        return true;
    if (m_store.at(m_ranges.back()).Top() > top)
        return false;
    // Only ranges that end on the lowest row can reach a range starting there.
    return top > m_lowestBottom || (top == m_lowestBottom && left > m_rightmostOnLowest);
}

void XlsWorksheet::noteAdded(int right, int bottom)
{
    if (bottom > m_lowestBottom) {
        m_lowestBottom = bottom;
        m_rightmostOnLowest = right;
    } else if (bottom == m_lowestBottom && right > m_rightmostOnLowest) {
        m_rightmostOnLowest = right;
    }
}

void XlsWorksheet::recountAfterRemoval()
{
    m_tallestRange = 1;
    m_lowestBottom = m_rightmostOnLowest = -1;
    for (const uint32_t id : m_ranges) {
        const XlsRange& r = m_store.at(id);
        m_tallestRange = std::max(m_tallestRange, r.Bottom() - r.Top() + 1);
        noteAdded(r.Right(), r.Bottom());
    }
}

XlsRange& XlsWorksheet::Range(int left, int top, int right, int bottom)
{
    if (left < 0 || top < 0 || right < left || bottom < top)
        throw std::invalid_argument("XlsWorksheet::Range: bad bounds");

    if (goesAtEnd(left, top)) {
        // The common case of a sheet filled row by row, left to right.
        if (m_ranges.size() == m_ranges.capacity())
            m_ranges.reserve(std::max<size_t>(64, 2 * m_ranges.size()));
        const uint32_t id = m_store.make(left, top, right, bottom);
        m_ranges.push_back(id);
        m_tallestRange = std::max(m_tallestRange, bottom - top + 1);
        noteAdded(right, bottom);
        widen(m_usedArea.Left, m_usedArea.Right, left, right);
        widen(m_usedArea.Top, m_usedArea.Bottom, top, bottom);
        return m_store.at(id);
    }

    XlsRange* result = nullptr;
    bool removed = false;
    size_t ins = m_ranges.size();
    {
        // No range before this position can reach down to row `top`.
        size_t i = size_t(FirstRangeReaching(top));
        ins = i;
        while (i < m_ranges.size() && m_store.at(m_ranges[i]).Top() <= bottom) {
            XlsRange& r = m_store.at(m_ranges[i]);
            if (r.Left() == left && r.Top() == top && r.Right() == right && r.Bottom() == bottom) {
                result = &r;
                break;
            }
            if (intersects(r, left, top, right, bottom)) {
                m_store.release(m_ranges[i]);
                m_ranges.erase(m_ranges.begin() + std::ptrdiff_t(i));
                removed = true;
                continue;
            }
            if (m_store.at(m_ranges[ins]).Top() <= top)
                ++ins;
            ++i; // the loop condition already holds top <= bottom here
        }
    }

    if (!result) {
        // Room first, so that a range once made is always in the list.
        if (m_ranges.size() == m_ranges.capacity())
            m_ranges.reserve(std::max<size_t>(64, 2 * m_ranges.size()));
        const uint32_t id = m_store.make(left, top, right, bottom);
        m_ranges.insert(m_ranges.begin() + std::ptrdiff_t(ins), id);
        result = &m_store.at(id);
    }

    const int height = bottom - top + 1;
    if (removed) {
        recountAfterRemoval();
    } else {
        m_tallestRange = std::max(m_tallestRange, height);
        noteAdded(right, bottom);
    }

    widen(m_usedArea.Left, m_usedArea.Right, left, right);
    widen(m_usedArea.Top, m_usedArea.Bottom, top, bottom);
    return *result;
}

uint32_t XlsWorksheet::makeFormat()
{
    if (!m_freeFormats.empty()) {
        const uint32_t number = m_freeFormats.back();
        m_formats[number - 1] = std::make_unique<XlsCellFormat>();
        m_freeFormats.pop_back();
        return number;
    }
    if (m_formats.size() == m_formats.capacity())
        m_formats.reserve(std::max<size_t>(16, 2 * m_formats.size()));
    m_formats.push_back(std::make_unique<XlsCellFormat>());
    return uint32_t(m_formats.size());
}

void XlsWorksheet::releaseFormat(uint32_t number)
{
    m_formats[number - 1].reset();
    try {
        m_freeFormats.push_back(number);
    } catch (...) {
        // The number is merely not used again.
    }
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
