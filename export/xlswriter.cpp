#include "xlswriter.h"

#include "compounddocument.h"
#include "records/lebytes.h"
#include "records/error.h"
#include "xlsrecords.h"
#include "xlstext.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace zent5 {
namespace {

constexpr int kMaxRow = 65535;
constexpr int kMaxColumn = 255;
constexpr int kRowsPerBlock = 32;
constexpr size_t kRowRecordSize = 4 + 16;

void checkFitsFormat(const XlsWorkbook& workbook)
{
    for (int i = 0; i < workbook.SheetCount(); ++i) {
        const XlsWorksheet& sheet = workbook.Sheet(i);
        const XlsArea& a = sheet.UsedArea();
        if (!a.IsEmpty() && (a.Bottom > kMaxRow || a.Right > kMaxColumn))
            throw Error("Лист «" + sheet.Name() + "» не умещается в книгу Excel: больше 65536 строк или 256 столбцов");
    }
}

std::u16string headerText(const std::string& left, const std::string& centre, const std::string& right)
{
    std::string t;
    if (!left.empty())
        t += "&L" + left;
    if (!centre.empty())
        t += "&C" + centre;
    if (!right.empty())
        t += "&R" + right;
    return xlstext::fromUtf8(t);
}

// Gives the ranges that cover each row, rows taken top to bottom. The range
// list is ordered by top row and no range is taller than TallestRange, so the
// ranges that can reach a row lie in a stretch of the list that only moves
// down as the rows do. The shared strings went in list order too, so the
// walk also counts off each range's string as it first reaches it.
class RowWalker {
public:
    RowWalker(const XlsWorksheet& sheet, uint32_t firstString) : m_sheet(sheet), m_strings(firstString) {}

    struct Found {
        int index; // in the sheet's list
        const XlsRange* range;
        int32_t sst; // for a range starting on the row; -1 for none
    };

    // The ranges covering `row`, left to right.
    void rangesOn(int row, std::vector<Found>& found)
    {
        const int count = m_sheet.RangeCount();
        const int firstTop = row - m_sheet.TallestRange() + 1;
        while (m_from < count && m_sheet.RangeAtUnchecked(m_from).Top() < firstTop)
            ++m_from;
        found.clear();
        for (int i = m_from; i < m_to; ++i) {
            const XlsRange& r = m_sheet.RangeAtUnchecked(i);
            if (r.Bottom() >= row)
                found.push_back({i, &r, -1});
        }
        for (; m_to < count; ++m_to) {
            const XlsRange& r = m_sheet.RangeAtUnchecked(m_to);
            if (r.Top() > row)
                break;
            found.push_back({m_to, &r, r.HasText() ? int32_t(m_strings++) : -1});
        }
        const auto byLeft = [](const Found& a, const Found& b) { return a.range->Left() < b.range->Left(); };
        if (!std::is_sorted(found.begin(), found.end(), byLeft))
            std::sort(found.begin(), found.end(), byLeft);
    }

private:
    const XlsWorksheet& m_sheet;
    int m_from = 0;
    int m_to = 0;
    uint32_t m_strings;
};

// The stream kept in memory, for Stream.
class VectorSink : public ByteSink {
public:
    void write(const uint8_t* data, size_t n) override { bytes.insert(bytes.end(), data, data + n); }
    void overwrite(size_t at, const uint8_t* data, size_t n) override
    {
        if (at + n > bytes.size())
            throw std::out_of_range("VectorSink: overwrite past the end");
        std::copy(data, data + n, bytes.begin() + std::ptrdiff_t(at));
    }
    std::vector<uint8_t> bytes;
};

// The stream goes on in pieces of about this size.
constexpr size_t kPieceBytes = 64 * 1024;

} // namespace

void XlsWriter::Save(const XlsWorkbook& workbook, const std::string& fileName)
{
    checkFitsFormat(workbook);
    writeCompoundDocument(fileName, "Workbook", [&](ByteSink& sink) { WriteStream(workbook, sink); });
}

std::vector<uint8_t> XlsWriter::Stream(const XlsWorkbook& workbook)
{
    VectorSink sink;
    WriteStream(workbook, sink);
    return std::move(sink.bytes);
}

void XlsWriter::WriteStream(const XlsWorkbook& workbook, ByteSink& sink)
{
    checkFitsFormat(workbook);

    m_styles.Reset();
    m_entries.assign(size_t(workbook.SheetCount()), {});
    for (int s = 0; s < workbook.SheetCount(); ++s) {
        const size_t n = size_t(workbook.Sheet(s).RangeCount());
        m_entries[size_t(s)].xf.assign(n, 0);
    }

    LeBytes out(sink);
    out.reserve(kPieceBytes + 16 * 1024);
    std::vector<size_t> sheetOffsetFields;
    writeGlobals(out, workbook, sheetOffsetFields);
    std::vector<size_t> sheetStarts;
    for (int s = 0; s < workbook.SheetCount(); ++s) {
        sheetStarts.push_back(out.size());
        writeSheet(out, workbook.Sheet(s), s);
    }
    for (size_t s = 0; s < sheetStarts.size(); ++s)
        out.patchU32(sheetOffsetFields[s], uint32_t(sheetStarts[s]));
    out.flush();
}

int32_t XlsWriter::SheetEntries::sst(size_t range) const
{
    const uint64_t word = hasString[range / 64];
    const uint64_t bit = uint64_t(1) << (range % 64);
    if (!(word & bit))
        return -1;
    return int32_t(stringsBefore[range / 64] + uint32_t(std::popcount(word & (bit - 1))));
}

// The workbook globals, in the order they stand in the stream.
void XlsWriter::writeGlobals(LeBytes& out, const XlsWorkbook& workbook, std::vector<size_t>& sheetOffsetFields)
{
    auto forEachRange = [&](auto&& f) {
        for (int s = 0; s < workbook.SheetCount(); ++s) {
            const XlsWorksheet& sheet = workbook.Sheet(s);
            for (int r = 0; r < sheet.RangeCount(); ++r)
                f(sheet.RangeAtUnchecked(r), m_entries[size_t(s)].xf[size_t(r)]);
        }
    };

    biff::writeBof(out, 0x0005);
    biff::writeInterfaceHdr(out);
    biff::writeMms(out);
    biff::writeInterfaceEnd(out);
    biff::writeWriteAccess(out, xlstext::fromUtf8(workbook.UserName()));
    biff::writeCodePage(out);
    biff::writeDsf(out);
    biff::writeExcel9File(out);
    biff::writeTabId(out, workbook.SheetCount());
    biff::writeFnGroupCount(out);
    biff::writeWindowProtect(out);
    biff::writeProtect(out);
    biff::writePassword(out);
    biff::writeProt4Rev(out);
    biff::writeProt4RevPass(out);
    biff::writeWindow1(out);
    biff::writeBackup(out);
    biff::writeHideObj(out);
    biff::writeDateMode(out);
    biff::writePrecision(out);
    biff::writeRefreshAll(out);
    biff::writeBookBool(out);

    // Ranges with equal formats get equal registry answers, so a format is
    // only worked out where it differs from the range before. Fonts and
    // number formats are collected first; the cell formats, which use them,
    // only after the fonts have taken their palette colours.
    const XlsCellFormat* last = nullptr;
    forEachRange([&](const XlsRange& range, uint16_t&) {
        const XlsCellFormat& f = range.Format();
        if (!last || (&f != last && !(f.Font == last->Font)))
            m_styles.AddFont(f.Font);
        if (!last || (&f != last && f.NumberFormat != last->NumberFormat))
            m_styles.AddFormat(f.NumberFormat);
        last = &f;
    });
    for (const XlsFont& font : m_styles.FontList())
        biff::writeFont(out, font, m_styles.ColorIndex(font.Color));
    for (const XlsNumberFormat& format : m_styles.FormatList())
        biff::writeFormat(out, format);

    biff::writeStyleXfs(out);
    last = nullptr;
    bool lastMerged = false;
    uint16_t lastIndex = 0;
    forEachRange([&](const XlsRange& range, uint16_t& xf) {
        const XlsCellFormat& f = range.Format();
        const bool merged = !range.IsSingleCell();
        if (!last || merged != lastMerged || (&f != last && !(f == *last))) {
            // Both are in the registry already: these only look them up.
            const uint16_t font = m_styles.AddFont(f.Font);
            const uint16_t format = m_styles.AddFormat(f.NumberFormat);
            lastIndex = m_styles.AddXf(m_styles.XfBody(f, merged, font, format));
        }
        last = &f;
        lastMerged = merged;
        xf = lastIndex;
    });
    for (const XlsXfBody& body : m_styles.XFList())
        biff::writeXf(out, body);

    biff::writeStyles(out);
    if (m_styles.PaletteChanged())
        biff::writePalette(out, m_styles.Palette());
    biff::writeUseSelfs(out);
    for (int s = 0; s < workbook.SheetCount(); ++s)
        sheetOffsetFields.push_back(biff::writeBoundSheet(out, xlstext::fromUtf8(workbook.Sheet(s).Name())));
    biff::writeCountry(out);
    writeSharedStrings(out, workbook);
    biff::writeEof(out);
}

// One string per range with a non-empty text, in range order; equal texts
// are kept apart.
void XlsWriter::writeSharedStrings(LeBytes& out, const XlsWorkbook& workbook)
{
    biff::SstBuilder sst(out);
    for (int s = 0; s < workbook.SheetCount(); ++s) {
        const XlsWorksheet& sheet = workbook.Sheet(s);
        SheetEntries& e = m_entries[size_t(s)];
        e.hasString.assign((size_t(sheet.RangeCount()) + 63) / 64, 0);
        e.stringsBefore.assign(e.hasString.size(), 0);
        for (int r = 0; r < sheet.RangeCount(); ++r) {
            if (r % 64 == 0)
                e.stringsBefore[size_t(r) / 64] = sst.count();
            const XlsRange& range = sheet.RangeAtUnchecked(r);
            if (range.HasText()) {
                sst.addSingleByte(range.SingleByteText());
                e.hasString[size_t(r) / 64] |= uint64_t(1) << (r % 64);
                out.flushIfOver(kPieceBytes);
            }
        }
    }
    sst.finish();
}

// One worksheet, in the order its records stand in the stream.
void XlsWriter::writeSheet(LeBytes& out, const XlsWorksheet& sheet, int sheetIndex)
{
    const XlsArea& area = sheet.UsedArea();
    const XlsPageSetup& page = sheet.PageSetup;

    biff::writeBof(out, 0x0010);
    size_t indexAt;
    if (area.IsEmpty()) {
        indexAt = biff::writeIndex(out, 0, 0, {});
    } else {
        const int blocks = (area.Bottom - area.Top + kRowsPerBlock) / kRowsPerBlock;
        indexAt = biff::writeIndex(out, uint32_t(area.Top), uint32_t(area.Bottom + 1), std::vector<uint32_t>(size_t(blocks), 0));
    }
    biff::writeCalcMode(out);
    biff::writeCalcCount(out);
    biff::writeRefMode(out);
    biff::writeIteration(out);
    biff::writeDelta(out);
    biff::writeSaveRecalc(out);
    biff::writePrintHeaders(out, page.PrintHeadings);
    biff::writePrintGridLines(out, page.PrintGridLines);
    biff::writeGridSet(out);
    biff::writeGuts(out);
    biff::writeDefaultRowHeight(out);
    if (!sheet.PageBreaks.empty())
        biff::writeHorizontalPageBreaks(out, sheet.PageBreaks);
    biff::writeWsBool(out, page.UseZoom);
    biff::writeHeader(out, headerText(page.LeftHeader, page.CenterHeader, page.RightHeader));
    biff::writeFooter(out, headerText(page.LeftFooter, page.CenterFooter, page.RightFooter));
    biff::writeHCenter(out, page.CenterHorizontally);
    biff::writeVCenter(out, page.CenterVertically);
    biff::writeLeftMargin(out, page.LeftMargin);
    biff::writeRightMargin(out, page.RightMargin);
    biff::writeTopMargin(out, page.TopMargin);
    biff::writeBottomMargin(out, page.BottomMargin);
    biff::writeSetup(out, page);
    biff::writeDefColWidth(out);
    for (const XlsColumnInfo& c : sheet.ColumnInfos)
        biff::writeColInfo(out, uint16_t(c.Column), uint16_t(c.Width));
    if (area.IsEmpty())
        biff::writeDimensions(out, 0, 0, 0, 0);
    else
        biff::writeDimensions(out, uint32_t(area.Top), uint32_t(area.Bottom + 1), uint16_t(area.Left),
                              uint16_t(area.Right + 1));
    if (!area.IsEmpty())
        writeRowBlocks(out, sheet, sheetIndex, indexAt);
    biff::writeWindow2(out, sheetIndex == 0);
    biff::writeSelection(out);
    std::vector<biff::MergedArea> merged;
    for (int r = 0; r < sheet.RangeCount(); ++r) {
        const XlsRange& range = sheet.RangeAtUnchecked(r);
        if (!range.IsSingleCell())
            merged.push_back({uint16_t(range.Top()), uint16_t(range.Bottom()), uint16_t(range.Left()), uint16_t(range.Right())});
    }
    biff::writeMergedCells(out, merged);
    biff::writeEof(out);
}

// Rows in blocks of 32: the block's ROW records, its cell records, and a
// DBCELL that lets a reader find each row's cells; INDEX then points at
// every DBCELL.
void XlsWriter::writeRowBlocks(LeBytes& out, const XlsWorksheet& sheet, int sheetIndex, size_t indexAt)
{
    const SheetEntries& entries = m_entries[size_t(sheetIndex)];
    const int first = sheet.UsedArea().Top;
    const int last = sheet.UsedArea().Bottom;
    std::vector<uint32_t> dbCells;
    std::vector<RowWalker::Found> onRow;
    std::vector<size_t> rowCellStarts;
    std::vector<uint16_t> offsets;
    LeBytes cells;
    RowWalker walker(sheet, entries.stringsBefore.empty() ? 0 : entries.stringsBefore[0]);

    for (int blockStart = first; blockStart <= last; blockStart += kRowsPerBlock) {
        const int blockEnd = std::min(blockStart + kRowsPerBlock - 1, last);
        const size_t rowsAt = out.size();
        cells.clear();
        rowCellStarts.clear();
        for (int r = blockStart; r <= blockEnd; ++r) {
            walker.rangesOn(r, onRow);
            const XlsRowInfo* info = sheet.RowInfos.empty() ? nullptr : sheet.RowInfo(r);
            const uint16_t firstColumn = onRow.empty() ? 0 : uint16_t(onRow.front().range->Left());
            const uint16_t lastColumnPlus1 = onRow.empty() ? 0 : uint16_t(onRow.back().range->Right() + 1);
            biff::writeRow(out, uint16_t(r), firstColumn, lastColumnPlus1, info ? uint16_t(info->Height) : 255, info != nullptr);
            // A row without cells is given the place its cells would have.
            rowCellStarts.push_back(cells.size());
            for (const RowWalker::Found& f : onRow)
                writeCells(cells, *f.range, entries.xf[size_t(f.index)], f.sst, r);
        }
        const size_t cellsAt = out.size();
        out.bytes(cells.data(), cells.held());
        const size_t dbCellAt = out.size();

        // The first offset counts from the second ROW record of the block
        // (from the end of the only one), the others from the previous row's
        // first cell.
        offsets.clear();
        offsets.push_back(uint16_t(cellsAt + rowCellStarts[0] - (rowsAt + kRowRecordSize)));
        for (size_t i = 1; i < rowCellStarts.size(); ++i)
            offsets.push_back(uint16_t(rowCellStarts[i] - rowCellStarts[i - 1]));
        biff::writeDbCell(out, uint32_t(dbCellAt - rowsAt), offsets);
        dbCells.push_back(uint32_t(dbCellAt));
        out.flushIfOver(kPieceBytes);
    }
    biff::rewriteIndex(out, indexAt, dbCells);
}

// The value in the range's top-left cell, blanks with the range's format in
// the rest of it.
void XlsWriter::writeCells(LeBytes& cells, const XlsRange& range, uint16_t xf, int32_t sst, int row) const
{
    const uint16_t r = uint16_t(row);
    int c = range.Left();
    if (row == range.Top()) {
        if (range.IsNumber()) {
            biff::writeNumber(cells, r, uint16_t(c), xf, range.Number());
            ++c;
        } else if (sst >= 0) {
            biff::writeLabelSst(cells, r, uint16_t(c), xf, uint32_t(sst));
            ++c;
        }
    }
    if (c < range.Right())
        biff::writeMulBlank(cells, r, uint16_t(c), uint16_t(range.Right()), xf);
    else if (c == range.Right())
        biff::writeBlank(cells, r, uint16_t(c), xf);
}

} // namespace zent5
