#include "xlsrecords.h"

#include "xlstext.h"

#include <algorithm>
#include <stdexcept>

namespace zent5::biff {
namespace {

constexpr uint16_t kContinue = 0x003C;
constexpr uint8_t kWideCharacters = 0x01;
// The longest text a cell, header or footer may hold.
constexpr size_t kMaxCellText = 32767;
constexpr size_t kMaxHeaderText = 255;

void header(LeBytes& out, uint16_t id, uint16_t length)
{
    out.u16(id);
    out.u16(length);
}

void writeU16Record(LeBytes& out, uint16_t id, uint16_t value)
{
    header(out, id, 2);
    out.u16(value);
}

void writeF64Record(LeBytes& out, uint16_t id, double value)
{
    header(out, id, 8);
    out.f64(value);
}

void writeEmptyRecord(LeBytes& out, uint16_t id) { header(out, id, 0); }

// Character count (16-bit), flags, characters: the record is empty when the
// text is.
void writeTextRecord(LeBytes& out, uint16_t id, const std::u16string& text)
{
    if (text.empty()) {
        writeEmptyRecord(out, id);
        return;
    }
    const std::u16string_view t = std::u16string_view(text).substr(0, kMaxHeaderText);
    header(out, id, uint16_t(3 + 2 * t.size()));
    out.u16(uint16_t(t.size()));
    out.u8(kWideCharacters);
    out.utf16(t);
}

} // namespace

void writeRecord(LeBytes& out, uint16_t id, const std::vector<uint8_t>& data)
{
    size_t at = 0;
    do {
        const size_t piece = std::min(kMaxRecordData, data.size() - at);
        header(out, at == 0 ? id : kContinue, uint16_t(piece));
        out.bytes(data.data() + at, piece);
        at += piece;
    } while (at < data.size());
}

// ---- workbook globals ----

void writeBof(LeBytes& out, uint16_t type)
{
    header(out, 0x0809, 16);
    out.u16(0x0600); // BIFF8
    out.u16(type);
    out.u16(0x0DBB); // build
    out.u16(0x07CC); // year
    out.u32(0);      // file history flags
    out.u32(type == 0x0005 ? 0x0600 : 0); // lowest version that may read the file
}

void writeInterfaceHdr(LeBytes& out) { writeU16Record(out, 0x00E1, 1252); }
void writeMms(LeBytes& out) { writeU16Record(out, 0x00C1, 0); }
void writeInterfaceEnd(LeBytes& out) { writeEmptyRecord(out, 0x00E2); }

void writeWriteAccess(LeBytes& out, const std::u16string& userName)
{
    constexpr size_t kSize = 112;
    const std::u16string_view name = std::u16string_view(userName).substr(0, (kSize - 3) / 2);
    header(out, 0x005C, kSize);
    out.u16(uint16_t(name.size()));
    out.u8(kWideCharacters);
    out.utf16(name);
    out.fill(0x20, kSize - 3 - 2 * name.size());
}

void writeCodePage(LeBytes& out) { writeU16Record(out, 0x0042, 1252); }
void writeDsf(LeBytes& out) { writeU16Record(out, 0x0161, 0); }
void writeExcel9File(LeBytes& out) { writeEmptyRecord(out, 0x01C0); }

void writeTabId(LeBytes& out, int sheetCount)
{
    LeBytes data;
    for (int i = 1; i <= sheetCount; ++i)
        data.u16(uint16_t(i));
    writeRecord(out, 0x013D, data.bytes());
}

void writeFnGroupCount(LeBytes& out) { writeU16Record(out, 0x009C, 14); }
void writeWindowProtect(LeBytes& out) { writeU16Record(out, 0x0019, 0); }
void writeProtect(LeBytes& out) { writeU16Record(out, 0x0012, 0); }
void writePassword(LeBytes& out) { writeU16Record(out, 0x0013, 0); }
void writeProt4Rev(LeBytes& out) { writeU16Record(out, 0x01AF, 0); }
void writeProt4RevPass(LeBytes& out) { writeU16Record(out, 0x01BC, 0); }

void writeWindow1(LeBytes& out)
{
    header(out, 0x003D, 18);
    out.u16(360);  // left, twips
    out.u16(30);   // top
    out.u16(7454); // width
    out.u16(6240); // height
    out.u16(0x0038); // scroll bars and sheet tabs shown
    out.u16(0);    // active sheet
    out.u16(0);    // first visible tab
    out.u16(1);    // selected tabs
    out.u16(600);  // tab bar width, per mille
}

void writeBackup(LeBytes& out) { writeU16Record(out, 0x0040, 0); }
void writeHideObj(LeBytes& out) { writeU16Record(out, 0x008D, 0); }
void writeDateMode(LeBytes& out) { writeU16Record(out, 0x0022, 0); }
void writePrecision(LeBytes& out) { writeU16Record(out, 0x000E, 1); }
void writeRefreshAll(LeBytes& out) { writeU16Record(out, 0x01B7, 0); }
void writeBookBool(LeBytes& out) { writeU16Record(out, 0x00DA, 0); }

void writeFont(LeBytes& out, const XlsFont& font, uint8_t colorIndex)
{
    const std::u16string name = xlstext::fromUtf8(font.Name);
    const std::u16string_view n = std::u16string_view(name).substr(0, 255);
    header(out, 0x0031, uint16_t(16 + 2 * n.size()));
    out.u16(uint16_t(font.Size * 20));
    out.u16(uint16_t((font.Italic ? 0x0002 : 0) | (font.StrikeOut ? 0x0008 : 0)));
    out.u16(colorIndex);
    out.u16(font.Bold ? 1000 : 100);
    out.u16(0); // escapement
    out.u8(font.Underline ? 1 : 0);
    switch (font.Pitch) {
    case XlsFontPitch::Default: out.u8(0); break;
    case XlsFontPitch::Fixed: out.u8(1); break;
    case XlsFontPitch::Variable: out.u8(2); break;
    }
    out.u8(font.Charset);
    out.u8(0);
    out.u8(uint8_t(n.size()));
    out.u8(kWideCharacters);
    out.utf16(n);
}

void writeFormat(LeBytes& out, const XlsNumberFormat& format)
{
    const std::u16string_view t = std::u16string_view(format.Text).substr(0, 255);
    header(out, 0x041E, uint16_t(5 + 2 * t.size()));
    out.u16(format.Id);
    out.u16(uint16_t(t.size()));
    out.u8(kWideCharacters);
    out.utf16(t);
}

void writeXf(LeBytes& out, const XlsXfBody& body)
{
    header(out, 0x00E0, uint16_t(body.size()));
    out.bytes(body.data(), body.size());
}

void writeStyleXfs(LeBytes& out)
{
    constexpr XlsXfBody kNormal{0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr XlsXfBody kFont1{0x01, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF4,
                               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr XlsXfBody kFont2{0x02, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF4,
                               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr XlsXfBody kFont0{0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF4,
                               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    writeXf(out, kNormal);
    writeXf(out, kFont1);
    writeXf(out, kFont1);
    writeXf(out, kFont2);
    writeXf(out, kFont2);
    for (int i = 5; i <= 14; ++i)
        writeXf(out, kFont0);
}

void writeStyles(LeBytes& out)
{
    // XF index with the built-in flag, built-in style number, outline level.
    static constexpr uint8_t kStyles[6][4] = {
        {0x10, 0x80, 0x04, 0xFF}, // XF 16, comma
        {0x11, 0x80, 0x07, 0xFF}, // XF 17, currency [0]
        {0x00, 0x80, 0x00, 0xFF}, // XF 0, normal
        {0x12, 0x80, 0x05, 0xFF}, // XF 18, percent
        {0x13, 0x80, 0x03, 0xFF}, // XF 19, currency
        {0x14, 0x80, 0x06, 0xFF}, // XF 20, comma [0]
    };
    for (const auto& s : kStyles) {
        header(out, 0x0293, 4);
        out.bytes(s, 4);
    }
}

void writePalette(LeBytes& out, const std::array<XlsColor, 56>& palette)
{
    header(out, 0x0092, uint16_t(2 + 4 * palette.size()));
    out.u16(uint16_t(palette.size()));
    for (const XlsColor c : palette) {
        out.u8(uint8_t(c));       // red
        out.u8(uint8_t(c >> 8));  // green
        out.u8(uint8_t(c >> 16)); // blue
        out.u8(0);
    }
}

void writeUseSelfs(LeBytes& out) { writeU16Record(out, 0x0160, 0); }

size_t writeBoundSheet(LeBytes& out, const std::u16string& name)
{
    const std::u16string_view n = std::u16string_view(name).substr(0, 255);
    header(out, 0x0085, uint16_t(8 + 2 * n.size()));
    const size_t offsetField = out.size();
    out.u32(0);      // the sheet's BOF position, once known
    out.u16(0x0000); // visible worksheet
    out.u8(uint8_t(n.size()));
    out.u8(kWideCharacters);
    out.utf16(n);
    return offsetField;
}

void writeCountry(LeBytes& out)
{
    header(out, 0x008C, 4);
    out.u16(7); // user interface: Russia
    out.u16(7); // system settings: Russia
}

void writeEof(LeBytes& out) { writeEmptyRecord(out, 0x000A); }

// ---- shared string table ----

void SstBuilder::closeRecord()
{
    m_out.patchU16(m_recordStart + 2, uint16_t(m_out.size() - m_recordStart - 4));
}

void SstBuilder::beginContinue(bool withCharacterFlag)
{
    closeRecord();
    m_recordStart = m_out.size();
    header(m_out, kContinue, 0);
    if (withCharacterFlag)
        m_out.u8(kWideCharacters); // the rest of the string is 16-bit too
}

template <class Put>
uint32_t SstBuilder::addText(size_t length, const Put& put)
{
    if (length == 0)
        throw std::invalid_argument("SstBuilder::add: empty text");
    length = std::min(length, kMaxCellText);
    if (m_count == 0) {
        m_sstStart = m_recordStart = m_out.size();
        header(m_out, 0x00FC, 0);
        m_out.u32(0); // total count
        m_out.u32(0); // unique count
    }
    const uint32_t index = m_count++;
    if (room() <= 4)
        beginContinue(false);
    if (index % 8 == 0) {
        m_buckets.u32(uint32_t(m_out.size()));
        m_buckets.u16(uint16_t(m_out.size() - m_recordStart));
        m_buckets.u16(0);
    }
    m_out.u16(uint16_t(length));
    m_out.u8(kWideCharacters);
    size_t from = 0;
    for (;;) {
        const size_t chars = std::min(length - from, room() / 2);
        put(from, chars);
        from += chars;
        if (from == length)
            break;
        // A piece stops short only when fewer than two bytes are left.
        beginContinue(true);
    }
    return index;
}

uint32_t SstBuilder::add(std::u16string_view text)
{
    return addText(text.size(), [&](size_t from, size_t n) { m_out.utf16(text.substr(from, n)); });
}

uint32_t SstBuilder::addSingleByte(std::string_view text)
{
    const auto& wide = xlstext::wideTable();
    return addText(text.size(), [&](size_t from, size_t n) {
        uint8_t* p = m_out.append(2 * n);
        const auto* in = reinterpret_cast<const uint8_t*>(text.data()) + from;
        for (size_t i = 0; i < n; ++i) {
            LeBytes::put16(p + 2 * i, uint16_t(wide[in[i]]));
        }
    });
}

void SstBuilder::finish()
{
    if (m_count == 0)
        return;
    closeRecord();
    m_out.patchU32(m_sstStart + 4, m_count);
    m_out.patchU32(m_sstStart + 8, m_count);
    LeBytes ext;
    ext.u16(8); // strings per bucket
    ext.bytes(m_buckets.bytes());
    writeRecord(m_out, 0x00FF, ext.bytes());
}

// ---- worksheet ----

size_t writeIndex(LeBytes& out, uint32_t firstRow, uint32_t lastRowPlus1, const std::vector<uint32_t>& dbCells)
{
    const size_t at = out.size();
    header(out, 0x020B, uint16_t(16 + 4 * dbCells.size()));
    out.u32(0);
    out.u32(firstRow);
    out.u32(lastRowPlus1);
    out.u32(0);
    for (const uint32_t p : dbCells)
        out.u32(p);
    return at;
}

void rewriteIndex(LeBytes& out, size_t at, const std::vector<uint32_t>& dbCells)
{
    // In one piece: the record may have gone on to the file already.
    std::vector<uint8_t> positions(4 * dbCells.size());
    for (size_t i = 0; i < dbCells.size(); ++i)
        LeBytes::put32(positions.data() + 4 * i, dbCells[i]);
    out.patchBytes(at + 4 + 16, positions.data(), positions.size());
}

void writeCalcMode(LeBytes& out) { writeU16Record(out, 0x000D, 1); }
void writeCalcCount(LeBytes& out) { writeU16Record(out, 0x000C, 100); }
void writeRefMode(LeBytes& out) { writeU16Record(out, 0x000F, 1); }
void writeIteration(LeBytes& out) { writeU16Record(out, 0x0011, 0); }
void writeDelta(LeBytes& out) { writeF64Record(out, 0x0010, 0.001); }
void writeSaveRecalc(LeBytes& out) { writeU16Record(out, 0x005F, 1); }
void writePrintHeaders(LeBytes& out, bool on) { writeU16Record(out, 0x002A, on ? 1 : 0); }
void writePrintGridLines(LeBytes& out, bool on) { writeU16Record(out, 0x002B, on ? 1 : 0); }
void writeGridSet(LeBytes& out) { writeU16Record(out, 0x0082, 1); }

void writeGuts(LeBytes& out)
{
    header(out, 0x0080, 8);
    out.fill(0, 8);
}

void writeDefaultRowHeight(LeBytes& out)
{
    header(out, 0x0225, 4);
    out.u16(0);
    out.u16(255); // twips
}

void writeHorizontalPageBreaks(LeBytes& out, const std::vector<int>& rows)
{
    LeBytes data;
    data.u16(uint16_t(rows.size()));
    for (const int r : rows) {
        data.u16(uint16_t(r));
        data.u16(0);   // first column
        data.u16(255); // last column
    }
    writeRecord(out, 0x001B, data.bytes());
}

void writeWsBool(LeBytes& out, bool useZoom) { writeU16Record(out, 0x0081, useZoom ? 0x04C1 : 0x05C1); }
void writeHeader(LeBytes& out, const std::u16string& text) { writeTextRecord(out, 0x0014, text); }
void writeFooter(LeBytes& out, const std::u16string& text) { writeTextRecord(out, 0x0015, text); }
void writeHCenter(LeBytes& out, bool on) { writeU16Record(out, 0x0083, on ? 1 : 0); }
void writeVCenter(LeBytes& out, bool on) { writeU16Record(out, 0x0084, on ? 1 : 0); }
void writeLeftMargin(LeBytes& out, double inches) { writeF64Record(out, 0x0026, inches); }
void writeRightMargin(LeBytes& out, double inches) { writeF64Record(out, 0x0027, inches); }
void writeTopMargin(LeBytes& out, double inches) { writeF64Record(out, 0x0028, inches); }
void writeBottomMargin(LeBytes& out, double inches) { writeF64Record(out, 0x0029, inches); }

void writeSetup(LeBytes& out, const XlsPageSetup& s)
{
    uint16_t flags = 0;
    if (s.PrintOrder == 1)
        flags |= 0x0001; // over, then down
    if (s.Orientation == 0)
        flags |= 0x0002; // portrait
    if (s.BlackAndWhite)
        flags |= 0x0008;
    if (s.Draft)
        flags |= 0x0010;
    if (s.PrintNotes)
        flags |= 0x0020;
    if (s.FirstPageNumber != 1)
        flags |= 0x0080; // use the first page number
    header(out, 0x00A1, 34);
    out.u16(s.PaperSize);
    out.u16(uint16_t(s.Zoom));
    out.u16(uint16_t(s.FirstPageNumber));
    out.u16(uint16_t(s.FitToPagesWide));
    out.u16(uint16_t(s.FitToPagesTall));
    out.u16(flags);
    out.u16(0); // horizontal resolution
    out.u16(0); // vertical resolution
    out.f64(s.HeaderMargin);
    out.f64(s.FooterMargin);
    out.u16(uint16_t(s.Copies));
}

void writeDefColWidth(LeBytes& out) { writeU16Record(out, 0x0055, 8); }

void writeColInfo(LeBytes& out, uint16_t column, uint16_t width)
{
    header(out, 0x007D, 11);
    out.u16(column); // first
    out.u16(column); // last
    out.u16(width);
    out.u16(0); // XF
    out.u16(0); // flags
    out.u8(0);
}

void writeDimensions(LeBytes& out, uint32_t firstRow, uint32_t lastRowPlus1, uint16_t firstColumn, uint16_t lastColumnPlus1)
{
    header(out, 0x0200, 14);
    out.u32(firstRow);
    out.u32(lastRowPlus1);
    out.u16(firstColumn);
    out.u16(lastColumnPlus1);
    out.u16(0);
}

// The records below come once per row or cell: each is put down in one go.

void writeRow(LeBytes& out, uint16_t row, uint16_t firstColumn, uint16_t lastColumnPlus1, uint16_t height, bool customHeight)
{
    uint8_t* p = out.append(4 + 16);
    LeBytes::put16(p, 0x0208);
    LeBytes::put16(p + 2, 16);
    LeBytes::put16(p + 4, row);
    LeBytes::put16(p + 6, firstColumn);
    LeBytes::put16(p + 8, lastColumnPlus1);
    LeBytes::put16(p + 10, height);
    LeBytes::put16(p + 12, 0);
    LeBytes::put16(p + 14, 0);
    LeBytes::put16(p + 16, customHeight ? 0x0040 : 0);
    LeBytes::put16(p + 18, 0); // XF
}

void writeNumber(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf, double value)
{
    uint8_t* p = out.append(4 + 14);
    LeBytes::put16(p, 0x0203);
    LeBytes::put16(p + 2, 14);
    LeBytes::put16(p + 4, row);
    LeBytes::put16(p + 6, column);
    LeBytes::put16(p + 8, xf);
    LeBytes::put64(p + 10, value);
}

void writeLabelSst(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf, uint32_t sstIndex)
{
    uint8_t* p = out.append(4 + 10);
    LeBytes::put16(p, 0x00FD);
    LeBytes::put16(p + 2, 10);
    LeBytes::put16(p + 4, row);
    LeBytes::put16(p + 6, column);
    LeBytes::put16(p + 8, xf);
    LeBytes::put32(p + 10, sstIndex);
}

void writeBlank(LeBytes& out, uint16_t row, uint16_t column, uint16_t xf)
{
    header(out, 0x0201, 6);
    out.u16(row);
    out.u16(column);
    out.u16(xf);
}

void writeMulBlank(LeBytes& out, uint16_t row, uint16_t firstColumn, uint16_t lastColumn, uint16_t xf)
{
    LeBytes data;
    data.u16(row);
    data.u16(firstColumn);
    for (uint32_t c = firstColumn; c <= lastColumn; ++c)
        data.u16(xf);
    data.u16(lastColumn);
    writeRecord(out, 0x00BE, data.bytes());
}

void writeDbCell(LeBytes& out, uint32_t toFirstRow, const std::vector<uint16_t>& cellOffsets)
{
    uint8_t* p = out.append(4 + 4 + 2 * cellOffsets.size());
    LeBytes::put16(p, 0x00D7);
    LeBytes::put16(p + 2, uint16_t(4 + 2 * cellOffsets.size()));
    LeBytes::put32(p + 4, toFirstRow);
    p += 8;
    for (const uint16_t o : cellOffsets) {
        LeBytes::put16(p, o);
        p += 2;
    }
}

void writeWindow2(LeBytes& out, bool selected)
{
    header(out, 0x023E, 18);
    out.u16(uint16_t(0x04B6 | (selected ? 0x0200 : 0)));
    out.u16(0);  // top row
    out.u16(0);  // left column
    out.u32(64); // heading colour: the window-text colour
    out.u16(0);  // zoom in page-break preview
    out.u16(0);  // normal zoom
    out.u32(0);
}

void writeSelection(LeBytes& out)
{
    header(out, 0x001D, 15);
    out.u8(3);  // pane
    out.u16(0); // active row
    out.u16(0); // active column
    out.u16(0); // index of the active reference
    out.u16(1); // references
    out.u16(0); // first row
    out.u16(0); // last row
    out.u8(0);  // first column
    out.u8(0);  // last column
}

void writeMergedCells(LeBytes& out, const std::vector<MergedArea>& areas)
{
    constexpr size_t kPerRecord = 1024;
    for (size_t at = 0; at < areas.size(); at += kPerRecord) {
        const size_t n = std::min(kPerRecord, areas.size() - at);
        header(out, 0x00E5, uint16_t(2 + 8 * n));
        out.u16(uint16_t(n));
        for (size_t i = at; i < at + n; ++i) {
            out.u16(areas[i].firstRow);
            out.u16(areas[i].lastRow);
            out.u16(areas[i].firstColumn);
            out.u16(areas[i].lastColumn);
        }
    }
}

} // namespace zent5::biff
