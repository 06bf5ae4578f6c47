#pragma once

#include "records/lebytes.h"
#include "xlsfont.h"
#include "xlspagesetup.h"
#include "xlsstyleregistry.h"

#include <cstdint>
#include <string>
#include <vector>

// One writer per BIFF8 record of the "Workbook" stream. Each appends the
// record, its 4-byte header included, at the end of `out`. Texts are UTF-16
// and always carry the 16-bit character flag.
namespace zent5::biff {

inline constexpr size_t kMaxRecordData = 8224;

// Any record; data beyond 8224 bytes goes on in CONTINUE records.
void writeRecord(LeBytes& out, uint16_t id, const std::vector<uint8_t>& data);

// Workbook globals
void writeBof(LeBytes& out, uint16_t type); // 0x0005 globals, 0x0010 worksheet
void writeInterfaceHdr(LeBytes& out);
void writeMms(LeBytes& out);
void writeInterfaceEnd(LeBytes& out);
void writeWriteAccess(LeBytes& out, const std::u16string& userName);
void writeCodePage(LeBytes& out);
void writeDsf(LeBytes& out);
void writeExcel9File(LeBytes& out);
void writeTabId(LeBytes& out, int sheetCount);
void writeFnGroupCount(LeBytes& out);
void writeWindowProtect(LeBytes& out);
void writeProtect(LeBytes& out);
void writePassword(LeBytes& out);
void writeProt4Rev(LeBytes& out);
void writeProt4RevPass(LeBytes& out);
void writeWindow1(LeBytes& out);
void writeBackup(LeBytes& out);
void writeHideObj(LeBytes& out);
void writeDateMode(LeBytes& out);
void writePrecision(LeBytes& out);
void writeRefreshAll(LeBytes& out);
void writeBookBool(LeBytes& out);
void writeFont(LeBytes& out, const XlsFont& font, uint8_t colorIndex);
void writeFormat(LeBytes& out, const XlsNumberFormat& format);
void writeStyleXfs(LeBytes& out); // XF 0 to 14
void writeXf(LeBytes& out, const XlsXfBody& body);
void writeStyles(LeBytes& out);
void writePalette(LeBytes& out, const std::array<XlsColor, 56>& palette);
void writeUseSelfs(LeBytes& out);
// Returns the position of the sheet-offset field, filled in once known.
size_t writeBoundSheet(LeBytes& out, const std::u16string& name);
void writeCountry(LeBytes& out);
void writeEof(LeBytes& out);

// The shared string table, with the CONTINUE records it makes itself, and
// its index EXTSST. Writes at the end of `out` from the first string on;
// nothing at all when no string comes.
class SstBuilder {
public:
    explicit SstBuilder(LeBytes& out) : m_out(out) {}
    // Returns the string's index in the table; the text must not be empty.
    // Nothing else may be written to `out` until finish().
    uint32_t add(std::u16string_view text);
    // The same for a text held as code page 1251 bytes (see xlstext).
    uint32_t addSingleByte(std::string_view text);
    uint32_t count() const { return m_count; }
    // Sets the counts and writes EXTSST.
    void finish();

private:
    // Starts string number m_count of `length` characters; `put(from, n)`
    // writes n characters from `from` on as UTF-16.
    template <class Put>
    uint32_t addText(size_t length, const Put& put);
    void beginContinue(bool withCharacterFlag);
    // Bytes the current record can still take, its header counted.
    size_t room() const { return kMaxRecordData + 4 - (m_out.size() - m_recordStart); }
    void closeRecord();

    LeBytes& m_out;
    size_t m_sstStart = 0;
    size_t m_recordStart = 0;
    uint32_t m_count = 0;
    LeBytes m_buckets;
};

// Worksheet
// INDEX with room for `dbCells.size()` positions; returns where it starts.
size_t writeIndex(LeBytes& out, uint32_t firstRow, uint32_t lastRowPlus1, const std::vector<uint32_t>& dbCells);
// Fills in the DBCELL positions of the INDEX record that starts at `at`.
void rewriteIndex(LeBytes& out, size_t at, const std::vector<uint32_t>& dbCells);
void writeCalcMode(LeBytes& out);
void writeCalcCount(LeBytes& out);
void writeRefMode(LeBytes& out);
void writeIteration(LeBytes& out);
void writeDelta(LeBytes& out);
void writeSaveRecalc(LeBytes& out);
void writePrintHeaders(LeBytes& out, bool on);
void writePrintGridLines(LeBytes& out, bool on);
void writeGridSet(LeBytes& out);
void writeGuts(LeBytes& out);
void writeDefaultRowHeight(LeBytes& out);
void writeHorizontalPageBreaks(LeBytes& out, const std::vector<int>& rows);
void writeWsBool(LeBytes& out, bool useZoom);
void writeHeader(LeBytes& out, const std::u16string& text);
void writeFooter(LeBytes& out, const std::u16string& text);
void writeHCenter(LeBytes& out, bool on);
void writeVCenter(LeBytes& out, bool on);
void writeLeftMargin(LeBytes& out, double inches);
void writeRightMargin(LeBytes& out, double inches);
void writeTopMargin(LeBytes& out, double inches);
void writeBottomMargin(LeBytes& out, double inches);
void writeSetup(LeBytes& out, const XlsPageSetup& setup);
void writeDefColWidth(LeBytes& out);
void writeColInfo(LeBytes& out, uint16_t column, uint16_t width);
void writeDimensions(LeBytes& out, uint32_t firstRow, uint32_t lastRowPlus1, uint16_t firstColumn, uint16_t lastColumnPlus1);
void writeRow(LeBytes& out, uint16_t row, uint16_t firstColumn, uint16_t lastColumnPlus1, uint16_t height, bool customHeight);
void writeNumber(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf, double value);
void writeLabelSst(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf, uint32_t sstIndex);
void writeBlank(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf);
void writeMulBlank(LeBytes& out, uint16_t row, uint16_t firstColumn, uint16_t lastColumn, uint16_t xf);
void writeDbCell(LeBytes& out, uint32_t toFirstRow, const std::vector<uint16_t>& cellOffsets);
void writeWindow2(LeBytes& out, bool selected);
void writeSelection(LeBytes& out);
struct MergedArea {
    uint16_t firstRow, lastRow, firstColumn, lastColumn;
};
// As many MERGEDCELLS records as 1024 areas each need.
void writeMergedCells(LeBytes& out, const std::vector<MergedArea>& areas);

} // namespace zent5::biff
