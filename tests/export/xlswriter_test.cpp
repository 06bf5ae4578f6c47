#include "export/xlswriter.h"
#include "records/error.h"
#include "tests/export/biffbytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

using namespace zent5;
using zent5::testing::BiffRecord;
using zent5::testing::biffRecords;
using zent5::testing::hex;
using zent5::testing::recordIds;
using zent5::testing::sameBytes;
using zent5::testing::u16At;
using zent5::testing::u32At;

namespace {

// Record ids
constexpr uint16_t BOF = 0x0809, EOF_ = 0x000A, FONT = 0x0031, FORMAT = 0x041E, XF = 0x00E0, STYLE = 0x0293,
                   PALETTE = 0x0092, BOUNDSHEET = 0x0085, SST = 0x00FC, EXTSST = 0x00FF, INDEX = 0x020B,
                   DIMENSIONS = 0x0200, ROW = 0x0208, NUMBER = 0x0203, LABELSST = 0x00FD, BLANK = 0x0201,
                   MULBLANK = 0x00BE, DBCELL = 0x00D7, WINDOW2 = 0x023E, MERGEDCELLS = 0x00E5, COLINFO = 0x007D,
                   HEADER = 0x0014, FOOTER = 0x0015, PAGEBREAKS = 0x001B, WSBOOL = 0x0081;

struct Parsed {
    std::vector<BiffRecord> globals;
    std::vector<std::vector<BiffRecord>> sheets;
};

Parsed parse(const std::vector<uint8_t>& stream)
{
    Parsed p;
    std::vector<BiffRecord>* current = &p.globals;
    for (auto& r : biffRecords(stream)) {
        if (r.id == BOF && !p.globals.empty()) {
            p.sheets.emplace_back();
            current = &p.sheets.back();
        }
        current->push_back(r);
    }
    return p;
}

size_t count(const std::vector<BiffRecord>& recs, uint16_t id)
{
    return size_t(std::count_if(recs.begin(), recs.end(), [&](const BiffRecord& r) { return r.id == id; }));
}

std::vector<const BiffRecord*> all(const std::vector<BiffRecord>& recs, uint16_t id)
{
    std::vector<const BiffRecord*> out;
    for (const auto& r : recs)
        if (r.id == id)
            out.push_back(&r);
    return out;
}

const BiffRecord& first(const std::vector<BiffRecord>& recs, uint16_t id)
{
    const auto it = std::find_if(recs.begin(), recs.end(), [&](const BiffRecord& r) { return r.id == id; });
    if (it == recs.end())
        throw std::runtime_error("record missing");
    return *it;
}

const std::vector<uint16_t> kGlobalsHead{0x0809, 0x00E1, 0x00C1, 0x00E2, 0x005C, 0x0042, 0x0161, 0x01C0,
                                         0x013D, 0x009C, 0x0019, 0x0012, 0x0013, 0x01AF, 0x01BC, 0x003D,
                                         0x0040, 0x008D, 0x0022, 0x000E, 0x01B7, 0x00DA};

TEST(XlsWriter, SheetWithOneNumber)
{
    XlsWorkbook book;
    book.AddSheet().Range(0, 0, 0, 0).SetValue(1.0);
    XlsWriter writer;
    const auto stream = writer.Stream(book);
    const Parsed p = parse(stream);
    ASSERT_EQ(p.sheets.size(), 1u);

    // Globals: the fixed head, 5 fonts, 8 formats, 15 + 7 XF, 6 styles, no
    // palette, one sheet, no strings.
    std::vector<uint16_t> expected = kGlobalsHead;
    expected.insert(expected.end(), 5, FONT);
    expected.insert(expected.end(), 8, FORMAT);
    expected.insert(expected.end(), 22, XF);
    expected.insert(expected.end(), 6, STYLE);
    expected.insert(expected.end(), {0x0160, BOUNDSHEET, 0x008C, EOF_});
    EXPECT_EQ(recordIds(p.globals), expected);
    EXPECT_TRUE(sameBytes(all(p.globals, XF).back()->data, hex("05 00 00 00 01 00 20 00 00 7C 00 00 00 00 00 00 00 00 08 04")));
    // The four window-text fonts and the range's black font are alike in the
    // file: Arial, 10 points, colour index 8 (black).
    for (const BiffRecord* font : all(p.globals, FONT))
        EXPECT_TRUE(sameBytes(font->data, hex("C8 00 00 00 08 00 64 00 00 00 00 00 01 00 05 01 41 00 72 00 69 00 61 00 6C 00")));
    const std::vector<uint16_t> formatIds{5, 6, 7, 8, 42, 41, 44, 43};
    const auto formats = all(p.globals, FORMAT);
    for (size_t i = 0; i < formats.size() && i < formatIds.size(); ++i)
        EXPECT_EQ(u16At(formats[i]->data, 0), formatIds[i]);

    const auto& sheet = p.sheets[0];
    EXPECT_EQ(recordIds(sheet),
              (std::vector<uint16_t>{BOF, INDEX, 0x000D, 0x000C, 0x000F, 0x0011, 0x0010, 0x005F, 0x002A, 0x002B,
                                     0x0082, 0x0080, 0x0225, WSBOOL, HEADER, FOOTER, 0x0083, 0x0084, 0x0026,
                                     0x0027, 0x0028, 0x0029, 0x00A1, 0x0055, DIMENSIONS, ROW, NUMBER, DBCELL,
                                     WINDOW2, 0x001D, EOF_}));
    EXPECT_EQ(u32At(first(p.globals, BOUNDSHEET).data, 0), sheet.front().pos);
    const BiffRecord& dbcell = first(sheet, DBCELL);
    EXPECT_TRUE(sameBytes(first(sheet, INDEX).data, [&] {
        auto b = hex("00 00 00 00  00 00 00 00  01 00 00 00  00 00 00 00  00 00 00 00");
        for (int i = 0; i < 4; ++i)
            b[16 + size_t(i)] = uint8_t(dbcell.pos >> (8 * i));
        return b;
    }()));
    EXPECT_TRUE(sameBytes(first(sheet, ROW).data, hex("00 00 00 00 01 00 FF 00 00 00 00 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(first(sheet, NUMBER).data, hex("00 00 00 00 15 00 00 00 00 00 00 00 F0 3F")));
    // DBCELL: 38 bytes back to the ROW record; the cells follow right after it.
    EXPECT_TRUE(sameBytes(dbcell.data, hex("26 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(first(sheet, DIMENSIONS).data, hex("00 00 00 00 01 00 00 00 00 00 01 00 00 00")));
    EXPECT_EQ(count(p.globals, SST), 0u);
    EXPECT_EQ(count(p.globals, EXTSST), 0u);
}

TEST(XlsWriter, ThirtyThreeRowsMakeTwoBlocks)
{
    XlsWorkbook book;
    XlsWorksheet& s = book.AddSheet();
    for (int r = 0; r < 33; ++r) {
        s.Range(0, r, 0, r).SetValue(double(r));
        s.Range(1, r, 1, r).SetValue("r" + std::to_string(r));
    }
    XlsWriter writer;
    const auto stream = writer.Stream(book);
    const Parsed p = parse(stream);
    const auto& sheet = p.sheets.at(0);

    // ROW x32, 32 x (NUMBER, LABELSST), DBCELL, ROW, NUMBER, LABELSST, DBCELL
    std::vector<uint16_t> blocks;
    blocks.insert(blocks.end(), 32, ROW);
    for (int r = 0; r < 32; ++r)
        blocks.insert(blocks.end(), {NUMBER, LABELSST});
    blocks.insert(blocks.end(), {DBCELL, ROW, NUMBER, LABELSST, DBCELL});
    const auto ids = recordIds(sheet);
    const auto start = std::find(ids.begin(), ids.end(), ROW);
    ASSERT_GE(size_t(ids.end() - start), blocks.size());
    EXPECT_EQ(std::vector<uint16_t>(start, start + std::ptrdiff_t(blocks.size())), blocks);

    const auto dbcells = all(sheet, DBCELL);
    ASSERT_EQ(dbcells.size(), 2u);
    const auto rows = all(sheet, ROW);
    // Block 1: 32 ROW records (640 bytes) and 32 x 32 bytes of cells; the
    // first offset skips the 31 other ROW records, then one row of cells each.
    std::vector<uint8_t> offsets1 = hex("80 06 00 00  6C 02");
    for (int i = 1; i < 32; ++i)
        offsets1.insert(offsets1.end(), {0x20, 0x00});
    EXPECT_TRUE(sameBytes(dbcells[0]->data, offsets1));
    EXPECT_EQ(dbcells[0]->pos - rows[0]->pos, 0x0680u);
    EXPECT_TRUE(sameBytes(dbcells[1]->data, hex("34 00 00 00  00 00")));
    EXPECT_EQ(dbcells[1]->pos - rows[32]->pos, 0x34u);

    const auto& index = first(sheet, INDEX).data;
    ASSERT_EQ(index.size(), 24u);
    EXPECT_EQ(u32At(index, 4), 0u);
    EXPECT_EQ(u32At(index, 8), 33u);
    EXPECT_EQ(u32At(index, 16), dbcells[0]->pos);
    EXPECT_EQ(u32At(index, 20), dbcells[1]->pos);
    EXPECT_TRUE(sameBytes(first(sheet, DIMENSIONS).data, hex("00 00 00 00 21 00 00 00 00 00 02 00 00 00")));
}

TEST(XlsWriter, TextsGoToSharedStringsInRangeOrder)
{
    XlsWorkbook book;
    XlsWorksheet& s1 = book.AddSheet();
    XlsWorksheet& s2 = book.AddSheet();
    s1.Range(0, 1, 0, 1).SetValue("второй");
    s1.Range(0, 0, 0, 0).SetValue("первый");
    s1.Range(1, 0, 1, 0).SetValue("");        // blank with its format
    s1.Range(2, 0, 2, 0).SetValue("первый");  // not merged with the equal one
    s2.Range(3, 2, 3, 2).SetValue("лист 2");
    XlsWriter writer;
    const Parsed p = parse(writer.Stream(book));
    const auto& sst = first(p.globals, SST).data;
    EXPECT_EQ(u32At(sst, 0), 4u);
    EXPECT_EQ(u32At(sst, 4), 4u);
    EXPECT_EQ(count(p.globals, EXTSST), 1u);
    // Ranges are ordered by row: "первый" (row 0), blank, "первый", "второй";
    // each cell names its string (bytes 6-9 of LABELSST), the blank none.
    const auto& sheet = p.sheets.at(0);
    EXPECT_TRUE(sameBytes(all(sheet, LABELSST)[0]->data, hex("00 00 00 00 15 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(first(sheet, BLANK).data, hex("00 00 01 00 15 00")));
    EXPECT_TRUE(sameBytes(all(sheet, LABELSST)[1]->data, hex("00 00 02 00 15 00 01 00 00 00")));
    EXPECT_TRUE(sameBytes(all(sheet, LABELSST)[2]->data, hex("01 00 00 00 15 00 02 00 00 00")));
    EXPECT_TRUE(sameBytes(first(p.sheets.at(1), LABELSST).data, hex("02 00 03 00 15 00 03 00 00 00")));

    // WINDOW2 marks only the first sheet selected; BOUNDSHEET points at each BOF.
    EXPECT_EQ(u16At(first(p.sheets[0], WINDOW2).data, 0), 0x06B6);
    EXPECT_EQ(u16At(first(p.sheets[1], WINDOW2).data, 0), 0x04B6);
    const auto bounds = all(p.globals, BOUNDSHEET);
    ASSERT_EQ(bounds.size(), 2u);
    EXPECT_EQ(u32At(bounds[0]->data, 0), p.sheets[0].front().pos);
    EXPECT_EQ(u32At(bounds[1]->data, 0), p.sheets[1].front().pos);
    EXPECT_TRUE(sameBytes(first(p.globals, 0x013D).data, hex("01 00 02 00")));
}

TEST(XlsWriter, MergedAreaAndGaps)
{
    XlsWorkbook book;
    XlsWorksheet& s = book.AddSheet();
    XlsRange& merged = s.Range(1, 0, 3, 1);
    merged.SetValue(5.0);
    s.Range(6, 0, 6, 0).SetValue(1.0);
    s.Range(2, 3, 3, 3); // empty two-cell range on row 3; row 2 has nothing
    XlsWriter writer;
    const Parsed p = parse(writer.Stream(book));
    const auto& sheet = p.sheets.at(0);
    // The merged flag makes a cell format of its own; it comes first: 21 in
    // the records of both two-row ranges, 22 in the single cell's NUMBER.
    EXPECT_TRUE(sameBytes(all(p.globals, XF)[21]->data, hex("05 00 00 00 01 00 20 00 20 7C 00 00 00 00 00 00 00 00 08 04")));
    EXPECT_TRUE(sameBytes(all(p.globals, XF)[22]->data, hex("05 00 00 00 01 00 20 00 00 7C 00 00 00 00 00 00 00 00 08 04")));

    const auto rows = all(sheet, ROW);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(sameBytes(rows[0]->data, hex("00 00 01 00 07 00 FF 00 00 00 00 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(rows[1]->data, hex("01 00 01 00 04 00 FF 00 00 00 00 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(rows[2]->data, hex("02 00 00 00 00 00 FF 00 00 00 00 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(rows[3]->data, hex("03 00 02 00 04 00 FF 00 00 00 00 00 00 00 00 00")));
    // Row 0: the value, blanks to the right of it, the single cell.
    const auto numbers = all(sheet, NUMBER);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_TRUE(sameBytes(numbers[0]->data, hex("00 00 01 00 15 00 00 00 00 00 00 00 14 40")));
    EXPECT_TRUE(sameBytes(numbers[1]->data, hex("00 00 06 00 16 00 00 00 00 00 00 00 F0 3F")));
    const auto mulblanks = all(sheet, MULBLANK);
    ASSERT_EQ(mulblanks.size(), 3u);
    EXPECT_TRUE(sameBytes(mulblanks[0]->data, hex("00 00 02 00 15 00 15 00 03 00")));
    EXPECT_TRUE(sameBytes(mulblanks[1]->data, hex("01 00 01 00 15 00 15 00 15 00 03 00")));
    EXPECT_TRUE(sameBytes(mulblanks[2]->data, hex("03 00 02 00 15 00 15 00 03 00")));
    EXPECT_EQ(count(sheet, BLANK), 0u);
    // The empty row takes its place in the DBCELL offsets with no bytes.
    const auto& db = first(sheet, DBCELL).data;
    ASSERT_EQ(db.size(), 4u + 2 * 4);
    EXPECT_EQ(u16At(db, 4), 3 * 20);
    EXPECT_EQ(u16At(db, 6), 18 + 14 + 18); // row 0: NUMBER, MULBLANK, NUMBER
    EXPECT_EQ(u16At(db, 8), 16);           // row 1's MULBLANK
    EXPECT_EQ(u16At(db, 10), 0);           // row 2 has no cells
    EXPECT_TRUE(sameBytes(first(sheet, MERGEDCELLS).data, hex("02 00  00 00 01 00 01 00 03 00  03 00 03 00 02 00 03 00")));
}

TEST(XlsWriter, PageSetupRowAndColumnInfo)
{
    XlsWorkbook book;
    XlsWorksheet& s = book.AddSheet();
    s.Range(0, 0, 0, 0).SetValue(1.0);
    s.PageSetup.CenterHeader = "Отчёт";
    s.PageSetup.RightHeader = "&P";
    s.PageSetup.LeftFooter = "Л";
    s.PageSetup.UseZoom = false;
    s.PageBreaks = {20};
    s.ColumnInfos = {{0, 4000}};
    s.RowInfos = {{0, 600}};
    XlsWriter writer;
    const Parsed p = parse(writer.Stream(book));
    const auto& sheet = p.sheets.at(0);
    EXPECT_TRUE(sameBytes(first(sheet, HEADER).data, hex("0B 00 01 26 00 43 00 1E 04 42 04 47 04 51 04 42 04 26 00 52 00 26 00 50 00")));
    EXPECT_TRUE(sameBytes(first(sheet, FOOTER).data, hex("03 00 01 26 00 4C 00 1B 04")));
    EXPECT_TRUE(sameBytes(first(sheet, WSBOOL).data, hex("C1 05")));
    EXPECT_TRUE(sameBytes(first(sheet, PAGEBREAKS).data, hex("01 00 14 00 00 00 FF 00")));
    EXPECT_TRUE(sameBytes(first(sheet, COLINFO).data, hex("00 00 00 00 A0 0F 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(first(sheet, ROW).data, hex("00 00 00 00 01 00 58 02 00 00 00 00 40 00 00 00")));
    // Page breaks stand before WSBOOL, column widths before DIMENSIONS.
    const auto ids = recordIds(sheet);
    EXPECT_LT(std::find(ids.begin(), ids.end(), PAGEBREAKS), std::find(ids.begin(), ids.end(), WSBOOL));
    EXPECT_EQ(std::find(ids.begin(), ids.end(), COLINFO) + 1, std::find(ids.begin(), ids.end(), DIMENSIONS));
}

TEST(XlsWriter, NewColourWritesPalette)
{
    XlsWorkbook book;
    XlsRange& r = book.AddSheet().Range(0, 0, 0, 0);
    r.Format().Font.Color = xlsRgb(0x12, 0x34, 0x56);
    XlsWriter writer;
    const Parsed p = parse(writer.Stream(book));
    const auto fonts = all(p.globals, FONT);
    ASSERT_EQ(fonts.size(), 5u);
    EXPECT_EQ(u16At(fonts[4]->data, 4), 24);
    const auto& palette = first(p.globals, PALETTE).data;
    ASSERT_EQ(palette.size(), 226u);
    EXPECT_TRUE(sameBytes(std::vector<uint8_t>(palette.begin() + 2 + 16 * 4, palette.begin() + 2 + 17 * 4), hex("12 34 56 00")));
    const auto ids = recordIds(p.globals);
    EXPECT_EQ(std::find(ids.begin(), ids.end(), PALETTE) + 1, std::find(ids.begin(), ids.end(), 0x0160));
    // A later save starts from the default palette again.
    r.Format().Font.Color = 0;
    EXPECT_EQ(count(parse(writer.Stream(book)).globals, PALETTE), 0u);
}

TEST(XlsWriter, EmptySheet)
{
    XlsWorkbook book;
    book.AddSheet();
    XlsWriter writer;
    const Parsed p = parse(writer.Stream(book));
    const auto& sheet = p.sheets.at(0);
    EXPECT_TRUE(sameBytes(first(sheet, INDEX).data, hex("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00")));
    EXPECT_TRUE(sameBytes(first(sheet, DIMENSIONS).data, hex("00 00 00 00 00 00 00 00 00 00 00 00 00 00")));
    EXPECT_EQ(count(sheet, ROW), 0u);
    EXPECT_EQ(count(sheet, DBCELL), 0u);
    EXPECT_EQ(count(p.globals, FONT), 4u);
    EXPECT_EQ(count(p.globals, XF), 21u);
}

TEST(XlsWriter, SheetBeyondTheFormatIsRefusedBeforeAnyFile)
{
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("zent5_export_limits_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    struct Case {
        int column, row;
    };
    for (const Case c : {Case{0, 65536}, Case{256, 0}}) {
        SCOPED_TRACE(c.row);
        XlsWorkbook book;
        XlsWorksheet& s = book.AddSheet();
        s.SetName("ЗЕНТ-5");
        s.Range(c.column, c.row, c.column, c.row).SetValue(1.0);
        XlsWriter writer;
        const auto file = dir / "big.xls";
        try {
            writer.Save(book, file.string());
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Лист «ЗЕНТ-5» не умещается в книгу Excel: больше 65536 строк или 256 столбцов");
        }
        EXPECT_TRUE(std::filesystem::is_empty(dir));
    }
    XlsWorkbook book;
    book.AddSheet().Range(255, 65535, 255, 65535).SetValue(1.0);
    XlsWriter writer;
    EXPECT_NO_THROW(writer.Stream(book));
    std::filesystem::remove_all(dir);
}

} // namespace
