#pragma once

#include "xlspagesetup.h"
#include "xlsrange.h"
#include "xlsrangestore.h"
#include "xlstextstore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

class XlsWorkbook;

struct XlsColumnInfo {
    int Column;
    int Width; // 1/256 of a character
};

struct XlsRowInfo {
    int Row;
    int Height; // 1/20 of a point
};

// The smallest rectangle holding every range ever requested; -1 everywhere
// while there is none.
struct XlsArea {
    int32_t Left = -1, Top = -1, Right = -1, Bottom = -1;
    bool IsEmpty() const { return Left < 0; }
};

class XlsWorksheet {
public:
    XlsWorksheet(XlsWorkbook& workbook, std::string name);
    XlsWorksheet(const XlsWorksheet&) = delete;
    XlsWorksheet& operator=(const XlsWorksheet&) = delete;
    ~XlsWorksheet();

    XlsWorkbook& Workbook() const { return *m_workbook; }
    // Position in the workbook's sheets, -1 when it is not among them.
    int Index() const;

    const std::string& Name() const { return m_name; }
    // Keeps the first 31 characters, without leading and trailing blanks.
    void SetName(std::string_view name);

    // The range with exactly these bounds, made when there is none; ranges
    // that overlap a new one are released. Throws std::invalid_argument for
    // negative or reversed bounds.
    XlsRange& Range(int left, int top, int right, int bottom);
    int RangeCount() const { return int(m_ranges.size()); }
    XlsRange& RangeAt(int i) const { return m_store.at(m_ranges.at(size_t(i))); }
    // Range at a position known to exist, for the writer's loops.
    const XlsRange& RangeAtUnchecked(int i) const { return m_store.at(m_ranges[size_t(i)]); }

    // Position of the first range that may cover `row`: ranges are ordered
    // by top row and none is taller than TallestRange.
    int FirstRangeReaching(int row) const;

    const XlsArea& UsedArea() const { return m_usedArea; }
    int TallestRange() const { return m_tallestRange; }

    // First entry with that number, or null.
    const XlsColumnInfo* ColumnInfo(int column) const;
    const XlsRowInfo* RowInfo(int row) const;

    XlsPageSetup PageSetup;
    std::vector<XlsColumnInfo> ColumnInfos;
    std::vector<XlsRowInfo> RowInfos;
    std::vector<int> PageBreaks; // rows

private:
    friend class XlsRange;

    // Whether a new range with these bounds can simply go at the end of the
    // list: nothing it would overlap and no range with a later top row.
    bool goesAtEnd(int left, int top) const;
    void noteAdded(int right, int bottom);
    void recountAfterRemoval();

    // For the ranges: their texts and their own formats (numbered from 1).
    XlsTextStore& texts() { return m_texts; }
    std::string& scratch() { return m_scratch; }
    uint32_t makeFormat();
    XlsCellFormat& format(uint32_t number) const { return *m_formats[number - 1]; }
    void releaseFormat(uint32_t number);

    XlsWorkbook* m_workbook;
    std::string m_name;
    XlsTextStore m_texts;
    std::string m_scratch; // a text on its way into m_texts
    std::vector<std::unique_ptr<XlsCellFormat>> m_formats;
    std::vector<uint32_t> m_freeFormats;
    // Ordered by top row, equal tops in order of creation; never overlapping.
    // Declared after the texts and formats: the ranges go first.
    XlsRangeStore m_store;
    std::vector<uint32_t> m_ranges; // made by m_store
    XlsArea m_usedArea;
    int m_tallestRange = 0;
    // The lowest bottom row of all ranges, and the rightmost column of the
    // ranges that end on it: -1 while there is no range.
    int m_lowestBottom = -1;
    int m_rightmostOnLowest = -1;
};

} // namespace zent5
