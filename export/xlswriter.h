#pragma once

#include "records/bytesink.h"
#include "xlsstyleregistry.h"
#include "xlsworkbook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zent5 {

class LeBytes;

// Writes a workbook as a compound document holding one BIFF8 "Workbook"
// stream. The stream goes to the document in pieces as it is made, so a large
// sheet is never held twice; the document takes the file's name only once it
// is complete.
class XlsWriter {
public:
    // Replaces any file of that name. Throws zent5::Error: the workbook does
    // not fit the format (more than 65536 rows or 256 columns on a sheet;
    // no file is touched), or the texts of writeCompoundDocument.
    void Save(const XlsWorkbook& workbook, const std::string& fileName);

    // The "Workbook" stream of the workbook, as Save stores it.
    std::vector<uint8_t> Stream(const XlsWorkbook& workbook);
    // The same stream handed to `sink` in pieces.
    void WriteStream(const XlsWorkbook& workbook, ByteSink& sink);

    // The registry of the last Stream or Save.
    const XlsStyleRegistry& Styles() const { return m_styles; }

private:
    void writeGlobals(LeBytes& out, const XlsWorkbook& workbook, std::vector<size_t>& sheetOffsetFields);
    void writeSharedStrings(LeBytes& out, const XlsWorkbook& workbook);
    void writeSheet(LeBytes& out, const XlsWorksheet& sheet, int sheetIndex);
    void writeRowBlocks(LeBytes& out, const XlsWorksheet& sheet, int sheetIndex, size_t indexAt);
    void writeCells(LeBytes& cells, const XlsRange& range, uint16_t xf, int32_t sst, int row) const;

    // Per sheet and range: the cell format index and the shared string
    // index (-1 for none). Font and number format come from the cell format.
    // The strings go in range order, so a bit per range and a count per 64
    // ranges tell each range's string.
    struct SheetEntries {
        std::vector<uint16_t> xf;
        std::vector<uint64_t> hasString;
        std::vector<uint32_t> stringsBefore;
        int32_t sst(size_t range) const;
    };

    XlsStyleRegistry m_styles;
    std::vector<SheetEntries> m_entries;
};

} // namespace zent5
