#include "records/lebytes.h"
#include "export/xlsrecords.h"
#include "tests/export/biffbytes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zent5;
using zent5::testing::hex;
using zent5::testing::sameBytes;

namespace {

struct RecordCase {
    const char* name;
    std::function<void(LeBytes&)> write;
    const char* expected;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class FixedRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(FixedRecord, Bytes)
{
    LeBytes out;
    GetParam().write(out);
    EXPECT_TRUE(sameBytes(out.bytes(), hex(GetParam().expected)));
}

XlsPageSetup landscapeSetup()
{
    XlsPageSetup s;
    s.Orientation = 1;
    s.PrintOrder = 1;
    s.BlackAndWhite = true;
    s.Draft = true;
    s.PrintNotes = true;
    s.FirstPageNumber = 3;
    s.Zoom = 75;
    s.HeaderMargin = 0.5;
    s.Copies = 2;
    return s;
}

const RecordCase kFixedRecords[] = {
    {"BofGlobals", [](LeBytes& o) { biff::writeBof(o, 0x0005); },
     "09 08 10 00  00 06 05 00 BB 0D CC 07 00 00 00 00 00 06 00 00"},
    {"BofWorksheet", [](LeBytes& o) { biff::writeBof(o, 0x0010); },
     "09 08 10 00  00 06 10 00 BB 0D CC 07 00 00 00 00 00 00 00 00"},
    {"InterfaceHdr", [](LeBytes& o) { biff::writeInterfaceHdr(o); }, "E1 00 02 00 E4 04"},
    {"Mms", [](LeBytes& o) { biff::writeMms(o); }, "C1 00 02 00 00 00"},
    {"InterfaceEnd", [](LeBytes& o) { biff::writeInterfaceEnd(o); }, "E2 00 00 00"},
    {"WriteAccess", [](LeBytes& o) { biff::writeWriteAccess(o, u"DUvazuv"); },
     "5C 00 70 00  07 00 01 44 00 55 00 76 00 61 00 7A 00 75 00 76 00"
     " 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20"
     " 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20"
     " 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20"},
    {"CodePage", [](LeBytes& o) { biff::writeCodePage(o); }, "42 00 02 00 E4 04"},
    {"Dsf", [](LeBytes& o) { biff::writeDsf(o); }, "61 01 02 00 00 00"},
    {"Excel9File", [](LeBytes& o) { biff::writeExcel9File(o); }, "C0 01 00 00"},
    {"TabIdThreeSheets", [](LeBytes& o) { biff::writeTabId(o, 3); }, "3D 01 06 00 01 00 02 00 03 00"},
    {"FnGroupCount", [](LeBytes& o) { biff::writeFnGroupCount(o); }, "9C 00 02 00 0E 00"},
    {"WindowProtect", [](LeBytes& o) { biff::writeWindowProtect(o); }, "19 00 02 00 00 00"},
    {"Protect", [](LeBytes& o) { biff::writeProtect(o); }, "12 00 02 00 00 00"},
    {"Password", [](LeBytes& o) { biff::writePassword(o); }, "13 00 02 00 00 00"},
    {"Prot4Rev", [](LeBytes& o) { biff::writeProt4Rev(o); }, "AF 01 02 00 00 00"},
    {"Prot4RevPass", [](LeBytes& o) { biff::writeProt4RevPass(o); }, "BC 01 02 00 00 00"},
    {"Window1", [](LeBytes& o) { biff::writeWindow1(o); },
     "3D 00 12 00  68 01 1E 00 1E 1D 60 18 38 00 00 00 00 00 01 00 58 02"},
    {"Backup", [](LeBytes& o) { biff::writeBackup(o); }, "40 00 02 00 00 00"},
    {"HideObj", [](LeBytes& o) { biff::writeHideObj(o); }, "8D 00 02 00 00 00"},
    {"DateMode", [](LeBytes& o) { biff::writeDateMode(o); }, "22 00 02 00 00 00"},
    {"Precision", [](LeBytes& o) { biff::writePrecision(o); }, "0E 00 02 00 01 00"},
    {"RefreshAll", [](LeBytes& o) { biff::writeRefreshAll(o); }, "B7 01 02 00 00 00"},
    {"BookBool", [](LeBytes& o) { biff::writeBookBool(o); }, "DA 00 02 00 00 00"},
    {"FontArialBlack", [](LeBytes& o) { biff::writeFont(o, XlsFont{}, 8); },
     "31 00 1A 00  C8 00 00 00 08 00 64 00 00 00 00 00 01 00 05 01 41 00 72 00 69 00 61 00 6C 00"},
    {"FontBoldItalicStrikeUnderlineFixed",
     [](LeBytes& o) {
         XlsFont f;
         f.Name = "Курьер";
         f.Size = 12;
         f.Bold = f.Italic = f.StrikeOut = f.Underline = true;
         f.Pitch = XlsFontPitch::Fixed;
         f.Charset = 204;
         biff::writeFont(o, f, 10);
     },
     "31 00 1C 00  F0 00 0A 00 0A 00 E8 03 00 00 01 01 CC 00 06 01 1A 04 43 04 40 04 4C 04 35 04 40 04"},
    {"FontVariablePitch",
     [](LeBytes& o) {
         XlsFont f;
         f.Name = "A";
         f.Pitch = XlsFontPitch::Variable;
         biff::writeFont(o, f, 9);
     },
     "31 00 12 00  C8 00 00 00 09 00 64 00 00 00 00 02 01 00 01 01 41 00"},
    {"FormatRoubles", [](LeBytes& o) { biff::writeFormat(o, {u"#,##0\"р.\";\\-#,##0\"р.\"", 5}); },
     "1E 04 2F 00  05 00 15 00 01 23 00 2C 00 23 00 23 00 30 00 22 00 40 04 2E 00 22 00 3B 00"
     " 5C 00 2D 00 23 00 2C 00 23 00 23 00 30 00 22 00 40 04 2E 00 22 00"},
    {"StyleXfs", [](LeBytes& o) { biff::writeStyleXfs(o); },
     "E0 00 14 00 00 00 00 00 F5 FF 20 00 00 00 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 01 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 01 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 02 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 02 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"
     " E0 00 14 00 00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20"},
    {"Styles", [](LeBytes& o) { biff::writeStyles(o); },
     "93 02 04 00 10 80 04 FF  93 02 04 00 11 80 07 FF  93 02 04 00 00 80 00 FF"
     " 93 02 04 00 12 80 05 FF  93 02 04 00 13 80 03 FF  93 02 04 00 14 80 06 FF"},
    {"UseSelfs", [](LeBytes& o) { biff::writeUseSelfs(o); }, "60 01 02 00 00 00"},
    {"BoundSheet", [](LeBytes& o) { biff::writeBoundSheet(o, u"ЗЕНТ-5"); },
     "85 00 14 00  00 00 00 00 00 00 06 01 17 04 15 04 1D 04 22 04 2D 00 35 00"},
    {"Country", [](LeBytes& o) { biff::writeCountry(o); }, "8C 00 04 00 07 00 07 00"},
    {"Eof", [](LeBytes& o) { biff::writeEof(o); }, "0A 00 00 00"},
    {"IndexWithoutCells", [](LeBytes& o) { biff::writeIndex(o, 0, 0, {}); },
     "0B 02 10 00  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"CalcMode", [](LeBytes& o) { biff::writeCalcMode(o); }, "0D 00 02 00 01 00"},
    {"CalcCount", [](LeBytes& o) { biff::writeCalcCount(o); }, "0C 00 02 00 64 00"},
    {"RefMode", [](LeBytes& o) { biff::writeRefMode(o); }, "0F 00 02 00 01 00"},
    {"Iteration", [](LeBytes& o) { biff::writeIteration(o); }, "11 00 02 00 00 00"},
    {"Delta", [](LeBytes& o) { biff::writeDelta(o); }, "10 00 08 00 FC A9 F1 D2 4D 62 50 3F"},
    {"SaveRecalc", [](LeBytes& o) { biff::writeSaveRecalc(o); }, "5F 00 02 00 01 00"},
    {"PrintHeadersOff", [](LeBytes& o) { biff::writePrintHeaders(o, false); }, "2A 00 02 00 00 00"},
    {"PrintHeadersOn", [](LeBytes& o) { biff::writePrintHeaders(o, true); }, "2A 00 02 00 01 00"},
    {"PrintGridLinesOn", [](LeBytes& o) { biff::writePrintGridLines(o, true); }, "2B 00 02 00 01 00"},
    {"GridSet", [](LeBytes& o) { biff::writeGridSet(o); }, "82 00 02 00 01 00"},
    {"Guts", [](LeBytes& o) { biff::writeGuts(o); }, "80 00 08 00 00 00 00 00 00 00 00 00"},
    {"DefaultRowHeight", [](LeBytes& o) { biff::writeDefaultRowHeight(o); }, "25 02 04 00 00 00 FF 00"},
    {"PageBreaks", [](LeBytes& o) { biff::writeHorizontalPageBreaks(o, {10, 300}); },
     "1B 00 0E 00  02 00 0A 00 00 00 FF 00 2C 01 00 00 FF 00"},
    {"WsBoolZoom", [](LeBytes& o) { biff::writeWsBool(o, true); }, "81 00 02 00 C1 04"},
    {"WsBoolFitToPages", [](LeBytes& o) { biff::writeWsBool(o, false); }, "81 00 02 00 C1 05"},
    {"HeaderEmpty", [](LeBytes& o) { biff::writeHeader(o, u""); }, "14 00 00 00"},
    {"HeaderText", [](LeBytes& o) { biff::writeHeader(o, u"&CЛист"); },
     "14 00 0F 00  06 00 01 26 00 43 00 1B 04 38 04 41 04 42 04"},
    {"FooterEmpty", [](LeBytes& o) { biff::writeFooter(o, u""); }, "15 00 00 00"},
    {"HCenter", [](LeBytes& o) { biff::writeHCenter(o, false); }, "83 00 02 00 00 00"},
    {"VCenterOn", [](LeBytes& o) { biff::writeVCenter(o, true); }, "84 00 02 00 01 00"},
    {"LeftMargin", [](LeBytes& o) { biff::writeLeftMargin(o, 2.0); }, "26 00 08 00 00 00 00 00 00 00 00 40"},
    {"RightMargin", [](LeBytes& o) { biff::writeRightMargin(o, 2.0); }, "27 00 08 00 00 00 00 00 00 00 00 40"},
    {"TopMargin", [](LeBytes& o) { biff::writeTopMargin(o, 2.5); }, "28 00 08 00 00 00 00 00 00 00 04 40"},
    {"BottomMargin", [](LeBytes& o) { biff::writeBottomMargin(o, 2.5); }, "29 00 08 00 00 00 00 00 00 00 04 40"},
    {"SetupDefaults", [](LeBytes& o) { biff::writeSetup(o, XlsPageSetup{}); },
     "A1 00 22 00  09 00 64 00 01 00 01 00 01 00 02 00 00 00 00 00"
     " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"SetupEveryFlag", [](LeBytes& o) { biff::writeSetup(o, landscapeSetup()); },
     "A1 00 22 00  09 00 4B 00 03 00 01 00 01 00 B9 00 00 00 00 00"
     " 00 00 00 00 00 00 E0 3F 00 00 00 00 00 00 00 00 02 00"},
    {"DefColWidth", [](LeBytes& o) { biff::writeDefColWidth(o); }, "55 00 02 00 08 00"},
    {"ColInfoElevenBytes", [](LeBytes& o) { biff::writeColInfo(o, 3, 2560); },
     "7D 00 0B 00  03 00 03 00 00 0A 00 00 00 00 00"},
    {"DimensionsEmpty", [](LeBytes& o) { biff::writeDimensions(o, 0, 0, 0, 0); },
     "00 02 0E 00  00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"DimensionsExport", [](LeBytes& o) { biff::writeDimensions(o, 0, 4, 0, 9); },
     "00 02 0E 00  00 00 00 00 04 00 00 00 00 00 09 00 00 00"},
    {"RowDefault", [](LeBytes& o) { biff::writeRow(o, 0, 0, 1, 255, false); },
     "08 02 10 00  00 00 00 00 01 00 FF 00 00 00 00 00 00 00 00 00"},
    {"RowCustomHeight", [](LeBytes& o) { biff::writeRow(o, 300, 2, 9, 400, true); },
     "08 02 10 00  2C 01 02 00 09 00 90 01 00 00 00 00 40 00 00 00"},
    {"Number", [](LeBytes& o) { biff::writeNumber(o, 1, 4, 21, 12.5); },
     "03 02 0E 00  01 00 04 00 15 00 00 00 00 00 00 00 29 40"},
    {"LabelSst", [](LeBytes& o) { biff::writeLabelSst(o, 2, 8, 21, 70000); },
     "FD 00 0A 00  02 00 08 00 15 00 70 11 01 00"},
    {"Blank", [](LeBytes& o) { biff::writeBlank(o, 3, 8, 21); }, "01 02 06 00  03 00 08 00 15 00"},
    {"MulBlank", [](LeBytes& o) { biff::writeMulBlank(o, 5, 1, 3, 22); },
     "BE 00 0C 00  05 00 01 00 16 00 16 00 16 00 03 00"},
    {"DbCell", [](LeBytes& o) { biff::writeDbCell(o, 0x5A, {20, 32}); }, "D7 00 08 00  5A 00 00 00 14 00 20 00"},
    {"Window2FirstSheet", [](LeBytes& o) { biff::writeWindow2(o, true); },
     "3E 02 12 00  B6 06 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00"},
    {"Window2OtherSheet", [](LeBytes& o) { biff::writeWindow2(o, false); },
     "3E 02 12 00  B6 04 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00"},
    {"Selection", [](LeBytes& o) { biff::writeSelection(o); },
     "1D 00 0F 00  03 00 00 00 00 00 00 01 00 00 00 00 00 00 00"},
    {"MergedCells", [](LeBytes& o) { biff::writeMergedCells(o, {{0, 1, 0, 2}, {4, 6, 3, 3}}); },
     "E5 00 12 00  02 00 00 00 01 00 00 00 02 00 04 00 06 00 03 00 03 00"},
    {"MergedCellsNone", [](LeBytes& o) { biff::writeMergedCells(o, {}); }, ""},
    {"PaletteDefault", [](LeBytes& o) { biff::writePalette(o, XlsStyleRegistry::DefaultPalette()); },
     "92 00 E2 00  38 00"
     " 00 00 00 00 FF FF FF 00 FF 00 00 00 00 FF 00 00 00 00 FF 00 FF FF 00 00 FF 00 FF 00 00 FF FF 00"
     " 80 00 00 00 00 80 00 00 00 00 80 00 80 80 00 00 80 00 80 00 00 80 80 00 C0 C0 C0 00 80 80 80 00"
     " 99 99 FF 00 99 33 66 00 FF FF CC 00 CC FF FF 00 66 00 66 00 FF 80 80 00 00 66 CC 00 CC CC FF 00"
     " 00 00 80 00 FF 00 FF 00 FF FF 00 00 00 FF FF 00 80 00 80 00 80 00 00 00 00 80 80 00 00 00 FF 00"
     " 00 CC FF 00 CC FF FF 00 CC FF CC 00 FF FF 99 00 99 CC FF 00 FF 99 CC 00 CC 99 FF 00 FF CC 99 00"
     " 33 66 FF 00 33 CC CC 00 99 CC 00 00 FF CC 00 00 FF 99 00 00 FF 66 00 00 66 66 99 00 96 96 96 00"
     " 00 33 66 00 33 99 66 00 00 33 00 00 33 33 00 00 99 33 00 00 99 33 66 00 33 33 99 00 33 33 33 00"},
};

INSTANTIATE_TEST_SUITE_P(Biff, FixedRecord, ::testing::ValuesIn(kFixedRecords),
                         [](const ::testing::TestParamInfo<RecordCase>& i) { return std::string(i.param.name); });

TEST(Record, LongDataGoesOnInContinueRecords)
{
    LeBytes out;
    std::vector<uint8_t> data(8224 + 8224 + 3);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7);
    biff::writeRecord(out, 0x00FF, data);
    const auto recs = zent5::testing::biffRecords(out.bytes());
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].id, 0x00FF);
    EXPECT_EQ(recs[1].id, 0x003C);
    EXPECT_EQ(recs[2].id, 0x003C);
    EXPECT_EQ(recs[0].data.size(), 8224u);
    EXPECT_EQ(recs[1].data.size(), 8224u);
    EXPECT_EQ(recs[2].data.size(), 3u);
    std::vector<uint8_t> joined;
    for (const auto& r : recs)
        joined.insert(joined.end(), r.data.begin(), r.data.end());
    EXPECT_TRUE(sameBytes(joined, data));
}

TEST(Record, MergedCellsSplitAfter1024Areas)
{
    std::vector<biff::MergedArea> areas;
    for (uint16_t i = 0; i < 1025; ++i)
        areas.push_back({uint16_t(2 * i), uint16_t(2 * i + 1), 0, 1});
    LeBytes out;
    biff::writeMergedCells(out, areas);
    const auto recs = zent5::testing::biffRecords(out.bytes());
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].id, 0x00E5);
    EXPECT_EQ(recs[0].data.size(), 2u + 8 * 1024);
    EXPECT_EQ(zent5::testing::u16At(recs[0].data, 0), 1024);
    EXPECT_TRUE(sameBytes(recs[1].data, hex("01 00 00 08 01 08 00 00 01 00")));
}

} // namespace
