#include "tablefixture.h"

#include "records/error.h"
#include "records/measurementfields.h"
#include "records/lebytes.h"
#include "records/text.h"
#include "tests/common/programlocale.h"

#include <QLocale>

#include <ctime>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

using namespace zent5;
using zent5::testing::TableFolder;

namespace {

// The 416 descriptor bytes a new measurement table holds, column by column.
std::string expectedDescriptors()
{
    struct D {
        const char* name;
        char type;
        int width;
        int decimals;
    } cols[] = {
        {"N", 'N', 18, 9},      {"DATE", 'C', 10, 0}, {"TIME", 'C', 8, 0},  {"SERIAL", 'N', 18, 9}, {"P", 'N', 18, 9},
        {"P_KG", 'N', 18, 9},   {"S", 'N', 18, 9},    {"S_KG", 'N', 18, 9}, {"F", 'N', 18, 9},      {"D", 'N', 18, 9},
        {"TYPE", 'C', 10, 0},   {"COMMENT", 'C', 100, 0}, {"F_MM", 'N', 18, 9},
    };
    std::string out;
    for (const D& d : cols) {
        std::string desc(32, '\0');
        desc.replace(0, std::string(d.name).size(), d.name);
        desc[11] = d.type;
        desc[16] = char(d.width);
        desc[17] = char(d.decimals);
        out += desc;
    }
    return out;
}

std::string hexAt(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return "first difference at offset " + std::to_string(i);
    return a.size() == b.size() ? "equal" : "sizes differ: " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
}

template <typename F> std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

class DbfTableFile : public TableFolder {};

TEST_F(DbfTableFile, NewTableIsTheExact450Bytes)
{
    DbfTable t;
    aim(t);
    t.CreateNew();
    EXPECT_FALSE(t.Active());
    const std::string bytes = readFile(path("t.db"));
    ASSERT_EQ(bytes.size(), 450u);

    std::string expected(32, '\0');
    expected[0] = 0x03;
    // date bytes 1..3 are checked apart
    expected[8] = char(0xC1);
    expected[9] = 0x01;
    expected[10] = 0x23;
    expected[11] = 0x01;
    expected[29] = char(0xC9);
    expected += expectedDescriptors();
    expected += '\x0D';
    expected += '\x1A';
    std::string got = bytes;
    got.replace(1, 3, std::string(3, '\0'));
    EXPECT_EQ(got, expected) << hexAt(got, expected);

    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    EXPECT_EQ(uint8_t(bytes[1]), local.tm_year);
    EXPECT_EQ(uint8_t(bytes[2]), local.tm_mon + 1);
    EXPECT_EQ(uint8_t(bytes[3]), local.tm_mday);
}

TEST_F(DbfTableFile, ThreeRowsAndCloseGive1323Bytes)
{
    DbfTable t;
    createOpen(t);
    for (int i = 1; i <= 3; ++i)
        appendRow(t, i, i * 1.5);
    t.Close();
    const std::string bytes = readFile(path("t.db"));
    ASSERT_EQ(bytes.size(), 1323u);
    EXPECT_EQ(le::get32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4), 3u);
    EXPECT_EQ(bytes.back(), '\x1A');
    // Record 2: live flag, N = 2, DATE empty.
    const std::string rec2 = bytes.substr(449 + 291, 291);
    EXPECT_EQ(rec2.substr(0, 19), "        2.000000000");
    EXPECT_EQ(rec2.substr(19, 10), std::string(10, ' '));
    EXPECT_EQ(rec2.substr(55, 18), "       3.000000000");
}

TEST_F(DbfTableFile, RowRoundTripKeepsEveryColumn)
{
    DbfTable t;
    createOpen(t);
    t.Append();
    t.SetFieldValue("n", 7.0);
    t.SetFieldValue("DATE", std::string("07.03.2014"));
    t.SetFieldValue("TIME", std::string("09:05:07"));
    t.SetFieldValue("SERIAL", 65535.0);
    t.SetFieldValue("P", 12.34);
    t.SetFieldValue("P_KG", 1258.0);
    t.SetFieldValue("S", 436.0);
    t.SetFieldValue("S_KG", 4446.0);
    t.SetFieldValue("F", 28.3);
    t.SetFieldValue("D", 7.5);
    t.SetFieldValue("TYPE", std::string("проволока"));
    t.SetFieldValue("COMMENT", std::string(" Образец №1, ёж"));
    t.SetFieldValue("F_MM", 0.283);
    t.Post();
    t.Close();

    DbfTable r;
    aim(r);
    r.Open();
    r.First();
    EXPECT_EQ(r.VisibleCount(), 1);
    EXPECT_EQ(r.FieldNumber("N"), 7);
    EXPECT_EQ(r.FieldText("DATE"), "07.03.2014");
    EXPECT_EQ(r.FieldText("TIME"), "09:05:07");
    EXPECT_EQ(r.FieldNumber("SERIAL"), 65535);
    EXPECT_EQ(r.FieldNumber("P"), 12.34);
    EXPECT_EQ(r.FieldNumber("P_KG"), 1258);
    EXPECT_EQ(r.FieldNumber("S"), 436.0);
    EXPECT_EQ(r.FieldNumber("S_KG"), 4446);
    EXPECT_EQ(r.FieldNumber("F"), 28.3);
    EXPECT_EQ(r.FieldNumber("D"), 7.5);
    EXPECT_EQ(r.FieldText("TYPE"), "проволока");
    EXPECT_EQ(r.FieldText("COMMENT"), " Образец №1, ёж"); // leading space kept
    EXPECT_EQ(r.FieldNumber("F_MM"), 0.283);
    EXPECT_EQ(std::get<std::string>(r.ReadField(1, "type")), "проволока");

    // The file holds code page 1251.
    const std::string bytes = readFile(path("t.db"));
    EXPECT_EQ(bytes.substr(449 + 163, 10), "\xEF\xF0\xEE\xE2\xEE\xEB\xEE\xEA\xE0 ");
}

// ---- reading rules and refusals -------------------------------------------

class DbfTableReading : public TableFolder {
protected:
    // A closed measurement table with `rows` rows, N = 1..rows.
    std::string makeTable(int rows, const std::string& name = "t.db")
    {
        DbfTable t;
        createOpen(t, name);
        for (int i = 1; i <= rows; ++i)
            appendRow(t, i, i);
        t.Close();
        return readFile(path(name));
    }
    std::string openError(const std::string& name = "t.db")
    {
        DbfTable t;
        aim(t, name);
        const std::string e = errorOf([&] { t.Open(); });
        EXPECT_FALSE(t.Active());
        return e;
    }
    static void setDescriptor(std::string& bytes, int column, size_t offset, char value)
    {
        bytes[32 + 32 * size_t(column) + offset] = value;
    }
};

TEST_F(DbfTableReading, CountInHeaderIsNotTrusted)
{
    std::string bytes = makeTable(3);
    bytes[4] = 10;
    writeFile(path("t.db"), bytes);
    {
        DbfTable t;
        aim(t);
        t.Open();
        EXPECT_EQ(t.VisibleCount(), 3);
        EXPECT_EQ(t.RecordCount(), 3u);
        t.Close();
    }
    EXPECT_EQ(uint8_t(readFile(path("t.db"))[4]), 3);
}

TEST_F(DbfTableReading, PartialLastRecordIsIgnored)
{
    std::string bytes = makeTable(3);
    bytes.pop_back();                       // the 0x1A
    bytes += std::string(100, ' ');         // a third of a fourth record
    writeFile(path("t.db"), bytes);
    DbfTable t;
    aim(t);
    t.Open();
    EXPECT_EQ(t.VisibleCount(), 3);
    t.Last();
    EXPECT_EQ(t.FieldNumber("N"), 3);
    t.Close();
    EXPECT_EQ(readFile(path("t.db")).size(), 1323u);
}

TEST_F(DbfTableReading, RefusalsWithTheirTexts)
{
    const std::string good = makeTable(2);
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::string error;
    } cases[] = {
        {"version 0x07", [](std::string& b) { b[0] = 0x07; }, "Invalid DBF file."},
        {"version 0x00", [](std::string& b) { b[0] = 0x00; }, "Invalid DBF file."},
        {"header length 0", [](std::string& b) { b[8] = b[9] = 0; }, "Invalid DBF file."},
        {"record length 0", [](std::string& b) { b[10] = b[11] = 0; }, "Invalid DBF file."},
        {"header past the end", [](std::string& b) { b[9] = char(0x7F); }, "Invalid DBF file."},
        {"record shorter than its columns", [](std::string& b) { b[10] = 0x22; }, "Invalid DBF file."},
        {"empty column name", [](std::string& b) { setDescriptor(b, 2, 0, '\0'); }, "Invalid DBF file."},
        {"unknown type letter", [](std::string& b) { setDescriptor(b, 2, 11, 'X'); }, "Invalid DBF file."},
        {"N without decimals", [](std::string& b) { setDescriptor(b, 0, 17, 0); },
         "Type mismatch for field 'N', expecting: Float actual: Largeint"},
        {"P as a small whole number", [](std::string& b) { setDescriptor(b, 4, 16, 4); setDescriptor(b, 4, 17, 0); },
         "Type mismatch for field 'P', expecting: Float actual: Smallint"},
        {"DATE as a number", [](std::string& b) { setDescriptor(b, 1, 11, 'N'); setDescriptor(b, 1, 17, 2); },
         "Type mismatch for field 'DATE', expecting: String actual: Float"},
        {"TIME as a date", [](std::string& b) { setDescriptor(b, 2, 11, 'D'); },
         "Type mismatch for field 'TIME', expecting: String actual: Date"},
        {"COMMENT renamed", [](std::string& b) { setDescriptor(b, 11, 0, 'X'); }, "Field 'COMMENT' not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good;
        c.damage(bytes);
        writeFile(path("t.db"), bytes);
        EXPECT_EQ(openError(), c.error);
        EXPECT_EQ(readFile(path("t.db")), bytes) << "a refused file is never written";
    }
}

TEST_F(DbfTableReading, AcceptsOtherFamilyMembers)
{
    const std::string good = makeTable(2);
    for (int version : {0x83, 0x30, 0x04, 0xF5}) {
        SCOPED_TRACE(version);
        std::string bytes = good;
        bytes[0] = char(version);
        writeFile(path("t.db"), bytes);
        DbfTable t;
        aim(t);
        t.Open();
        EXPECT_EQ(t.VisibleCount(), 2);
    }
}

TEST_F(DbfTableReading, LowerCaseNamesTypesAndExtraColumns)
{
    // A table another program wrote: lower-case names and type letters, the
    // columns in another order, one column more and a text type 0x91.
    struct Col {
        const char* name;
        char type;
        int width;
        int decimals;
    };
    const std::vector<Col> cols = {
        {"comment", 'c', 100, 0}, {"n", 'n', 10, 2},  {"extra", 'L', 1, 0},  {"date", char(0x91), 10, 0},
        {"time", 'C', 8, 0},      {"serial", 'F', 12, 3}, {"p", 'N', 12, 2}, {"p_kg", 'N', 12, 1},
        {"s", 'N', 12, 1},        {"s_kg", 'N', 12, 1}, {"f", 'N', 12, 3},   {"d", 'N', 12, 1},
        {"type", 'C', 10, 0},     {"f_mm", 'N', 12, 4},
    };
    std::string bytes(32, '\0');
    bytes[0] = 0x03;
    int recordLength = 1;
    for (const Col& c : cols) {
        std::string d(32, '\0');
        d.replace(0, std::string(c.name).size(), c.name);
        d[11] = c.type;
        d[16] = char(c.width);
        d[17] = char(c.decimals);
        bytes += d;
        recordLength += c.width;
    }
    bytes += '\x0D';
    le::put16(reinterpret_cast<uint8_t*>(bytes.data()) + 8, uint16_t(bytes.size()));
    le::put16(reinterpret_cast<uint8_t*>(bytes.data()) + 10, uint16_t(recordLength));
    std::string rec = " " + std::string(100, ' ');
    rec.replace(1, 4, "note");
    rec += "      3.00" + std::string("T") + "01.02.2015" + "12:00:00" + std::string(12 * 7, ' ') + "canat     " +
           std::string(12, ' ');
    rec.replace(1 + 100 + 10 + 1 + 10 + 8 + 12, 12, "       12.35");
    ASSERT_EQ(int(rec.size()), recordLength);
    bytes += rec + '\x1A';
    writeFile(path("foreign.dbf"), bytes);

    DbfTable t;
    aim(t, "foreign.dbf");
    t.Open();
    EXPECT_EQ(t.LanguageByte(), 0);
    EXPECT_EQ(t.TableLevel(), 3);
    EXPECT_EQ(t.FieldText("COMMENT"), "note");
    EXPECT_EQ(t.FieldNumber("N"), 3);
    EXPECT_EQ(t.FieldNumber("P"), 12.35);
    EXPECT_EQ(t.FieldText("DATE"), "01.02.2015");
    EXPECT_TRUE(isNull(t.FieldValueOf("SERIAL")));
    ASSERT_EQ(t.Columns().size(), 14u);
    EXPECT_EQ(t.Columns()[0].name, "COMMENT");
    t.Close();

    // The next new table follows the one opened: its columns, numbers as
    // N 18.9, and language byte 0 for a dBase III table.
    aim(t, "next.db");
    t.CreateNew();
    const std::string made = readFile(path("next.db"));
    EXPECT_EQ(made[29], '\0');
    EXPECT_EQ(made.substr(32, 7), std::string("COMMENT"));
    EXPECT_EQ(uint8_t(made[32 + 32 + 16]), 18);
    EXPECT_EQ(uint8_t(made[32 + 32 + 17]), 9);
}

TEST_F(DbfTableReading, MissingAndLockedFiles)
{
    EXPECT_EQ(openError("none.db"), "Open: file not found: \"" + path("none.db") + "\".");
    makeTable(1);
    DbfTable first;
    aim(first);
    first.Open();
    // A second open in this process conflicts as another program's would.
    EXPECT_EQ(openError(), "Cannot open file \"" + path("t.db") +
                               "\". The process cannot access the file because it is being used by another process");
    // And so does another process.
    const pid_t child = fork();
    if (child == 0) {
        DbfTable other;
        other.setFilePath(folder());
        other.setTableName("t.db");
        try {
            other.Open();
        } catch (const Error&) {
            _exit(7);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    // CreateNew does not empty a table that is open elsewhere.
    DbfTable creator;
    aim(creator);
    EXPECT_NE(errorOf([&] { creator.CreateNew(); }), "(no error)");
    first.Close();
    EXPECT_EQ(readFile(path("t.db")).size(), 449u + 291u + 1u);
    DbfTable again;
    aim(again);
    again.Open();
    EXPECT_EQ(again.VisibleCount(), 1);
}

TEST_F(DbfTableReading, NumbersAndTextsAsStored)
{
    std::string bytes = makeTable(1);
    bytes.replace(449 + 55, 18, "abc               ");     // P: letters
    bytes.replace(449 + 73, 18, std::string(18, ' '));      // P_KG: empty
    bytes.replace(449 + 19, 10, " 1.02     ");              // DATE: leading space
    writeFile(path("t.db"), bytes);
    DbfTable t;
    aim(t);
    t.Open();
    EXPECT_EQ(std::get<double>(t.FieldValueOf("P")), 0.0);
    EXPECT_TRUE(isNull(t.FieldValueOf("P_KG")));
    EXPECT_EQ(t.FieldNumber("P_KG"), 0.0);
    EXPECT_EQ(t.FieldText("P_KG"), "");
    EXPECT_EQ(t.FieldText("DATE"), " 1.02");
    EXPECT_TRUE(isNull(t.FieldValueOf("TIME")));
    EXPECT_EQ(t.FieldText("TIME"), "");
}

TEST_F(DbfTableReading, UninstalledCodePageOpensReadOnly)
{
    std::string bytes = makeTable(1);
    bytes[29] = 0x20; // code page 867, which this system does not have
    writeFile(path("t.db"), bytes);
    DbfTable t;
    aim(t);
    t.Open();
    EXPECT_TRUE(t.ReadOnly());
    EXPECT_EQ(t.VisibleCount(), 1);
    for (auto op : std::vector<std::function<void()>>{[&] { t.Append(); }, [&] { t.Edit(); }, [&] { t.Delete(); }})
        EXPECT_EQ(errorOf(op), "Cannot modify a read-only dataset");
}

// ---- states and their errors ------------------------------------------------

class DbfTableCursor : public TableFolder {};

TEST_F(DbfTableCursor, ClosedDatasetRefusesEveryOperation)
{
    DbfTable t;
    aim(t);
    const std::string closed = "Cannot perform this operation on a closed dataset";
    const std::vector<std::pair<const char*, std::function<void()>>> ops = {
        {"First", [&] { t.First(); }},
        {"Last", [&] { t.Last(); }},
        {"Next", [&] { t.Next(); }},
        {"Append", [&] { t.Append(); }},
        {"Edit", [&] { t.Edit(); }},
        {"SetFieldValue", [&] { t.SetFieldValue("N", 1.0); }},
        {"Post", [&] { t.Post(); }},
        {"Delete", [&] { t.Delete(); }},
        {"Pack", [&] { t.Pack(); }},
        {"Refresh", [&] { t.Refresh(); }},
        {"VisibleCount", [&] { t.VisibleCount(); }},
        {"AddIndex", [&] { t.AddIndex("tab1", "P", false); }},
        {"DeleteIndex", [&] { t.DeleteIndex("tab1"); }},
        {"CloseIndex", [&] { t.CloseIndex("tab1"); }},
        {"RebuildIndexes", [&] { t.RebuildIndexes(); }},
        {"FieldText", [&] { t.FieldText("N"); }},
        {"FieldNumber", [&] { t.FieldNumber("N"); }},
        {"ReadField", [&] { t.ReadField(1, "N"); }},
    };
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        EXPECT_EQ(errorOf(op), closed);
    }
    // Property settings work while closed.
    t.setIndexName("tab1");
    EXPECT_EQ(t.IndexName(), "tab1");
    t.setFilePath("/x");
    EXPECT_EQ(t.FilePath(), "/x/");
}

TEST_F(DbfTableCursor, StateErrors)
{
    DbfTable t;
    createOpen(t);
    EXPECT_EQ(errorOf([&] { t.CreateNew(); }), "Cannot perform this operation on an open dataset");
    EXPECT_EQ(errorOf([&] { t.setFilePath("/tmp"); }), "Cannot perform this operation on an open dataset");
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(errorOf([&] { t.Delete(); }), "Cannot perform this operation on an empty dataset");
    const std::string before = readFile(path("t.db"));
    EXPECT_EQ(errorOf([&] { t.SetFieldValue("N", 1.0); }), "Dataset not in edit or insert mode");
    EXPECT_EQ(readFile(path("t.db")), before);

    t.Append();
    EXPECT_EQ(errorOf([&] { t.SetFieldValue("FOO", 1.0); }), "Field 'FOO' not found");
    EXPECT_EQ(errorOf([&] { t.SetFieldValue("P", std::string("12 кН")); }),
              "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(errorOf([&] { t.SetFieldValue("P", 1e8); }),
              "100000000 is not a valid value for field 'P'. The allowed range is -9999999.999999999 to 99999999.999999999");
    t.SetFieldValue("COMMENT", std::string(150, 'x')); // cut to the width
    t.Post();
    EXPECT_EQ(t.FieldText("COMMENT"), std::string(100, 'x'));
    EXPECT_EQ(errorOf([&] { t.FieldText("nope"); }), "Field 'nope' not found");

    // Numbers as text go both ways with the system's decimal separator.
    for (const auto& [locale, separator] : zent5::testing::kLocaleSeparators) {
        SCOPED_TRACE(locale);
        const zent5::testing::ProgramLocale scoped(locale);
        ASSERT_TRUE(scoped.ok()) << "locale not installed";
        const std::string point(1, separator);
        t.Append();
        t.SetFieldValue("P", " 12" + point + "5 ");
        t.SetFieldValue("TYPE", 1.5); // a number into a text column
        t.Post();
        EXPECT_EQ(t.FieldNumber("P"), 12.5);
        EXPECT_EQ(t.FieldText("TYPE"), "1" + point + "5");
    }
}

TEST_F(DbfTableCursor, EditIsLostAtCloseAndWrittenAtPost)
{
    DbfTable t;
    createOpen(t);
    appendRow(t, 1, 10);
    t.Edit();
    t.SetFieldValue("P", 20.0);
    EXPECT_EQ(t.FieldNumber("P"), 20); // the buffer is what the row reads now
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldNumber("P"), 10);
    t.Edit();
    t.SetFieldValue("P", 30.0);
    t.Post();
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldNumber("P"), 30);
    EXPECT_EQ(t.RecordCount(), 1u);
}

TEST_F(DbfTableCursor, NavigationAndEof)
{
    DbfTable t;
    createOpen(t);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.VisibleCount(), 0);
    EXPECT_EQ(t.RecNo(), 0u);
    EXPECT_EQ(t.FieldText("N"), "");
    for (int i = 1; i <= 3; ++i)
        appendRow(t, i, i);
    EXPECT_EQ(t.RecNo(), 3u); // the appended row is current
    t.First();
    EXPECT_FALSE(t.Eof());
    std::vector<int> seen;
    while (!t.Eof()) {
        seen.push_back(int(t.FieldNumber("N")));
        t.Next();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.FieldNumber("N"), 3); // Next at the end stays on the last row
    t.Last();
    EXPECT_FALSE(t.Eof());
    t.GoTo(2);
    EXPECT_EQ(t.RecNo(), 2u);
    EXPECT_EQ(t.FieldNumber("N"), 2);
}

TEST_F(DbfTableCursor, DeleteVisibleCountAndPack)
{
    DbfTable t;
    createOpen(t);
    for (int i = 1; i <= 5; ++i)
        appendRow(t, i, i);
    t.GoTo(2);
    t.Delete();
    EXPECT_EQ(t.RecNo(), 3u); // the next row becomes current
    t.GoTo(4);
    t.Delete();
    EXPECT_EQ(t.VisibleCount(), 3);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 5}));
    t.Close();
    std::string bytes = readFile(path("t.db"));
    EXPECT_EQ(uint8_t(bytes[4]), 5);
    EXPECT_EQ(bytes[449 + 291], '*');

    t.Open();
    EXPECT_EQ(t.VisibleCount(), 3);
    t.Pack();
    EXPECT_EQ(t.VisibleCount(), 3);
    EXPECT_EQ(t.RecordCount(), 3u);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(t.ViewOrder(), (std::vector<uint32_t>{1, 2, 3}));
    t.Close();
    bytes = readFile(path("t.db"));
    EXPECT_EQ(bytes.size(), 449u + 3 * 291 + 1);
    EXPECT_EQ(uint8_t(bytes[4]), 3);
    EXPECT_FALSE(exists(path("t_1.db")));
}

TEST_F(DbfTableCursor, DeletingTheLastRows)
{
    DbfTable t;
    createOpen(t);
    appendRow(t, 1, 1);
    appendRow(t, 2, 2);
    t.Last();
    t.Delete();
    EXPECT_EQ(t.RecNo(), 1u); // the previous row when there is no next
    EXPECT_FALSE(t.Eof());
    t.Delete();
    EXPECT_EQ(t.RecNo(), 0u);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.VisibleCount(), 0);
    EXPECT_EQ(errorOf([&] { t.Delete(); }), "Cannot perform this operation on an empty dataset");
}

TEST_F(DbfTableCursor, PackWithoutDeletedRowsLeavesNoTemporaryFile)
{
    DbfTable t;
    createOpen(t);
    for (int i = 1; i <= 3; ++i)
        appendRow(t, i, i);
    writeFile(path("t_1.db"), "someone else's file");
    namespace fs = std::filesystem;
    fs::permissions(path("t.db"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    t.Pack();
    EXPECT_EQ(fs::status(path("t.db")).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2, 3}));
    t.Close();
    EXPECT_EQ(readFile(path("t.db")).size(), 1323u);
    EXPECT_EQ(readFile(path("t_1.db")), "someone else's file");
    EXPECT_FALSE(exists(path("t_2.db")));
}

// ---- faults while writing ---------------------------------------------------

class DbfTableFaults : public TableFolder {};

TEST_F(DbfTableFaults, FailedAppendPutsTheCountBack)
{
    for (int failing : {1, 2}) { // the record write, then the header write
        SCOPED_TRACE(failing);
        DbfTable t;
        createOpen(t);
        appendRow(t, 1, 1);
        appendRow(t, 2, 2);
        t.Append();
        t.SetFieldValue("N", 3.0);
        fileio::testhook::failNthWrite(failing);
        EXPECT_EQ(errorOf([&] { t.Post(); }), "Error while writing occurred. (Disk full?)");
        fileio::testhook::reset();
        EXPECT_EQ(t.RecordCount(), 2u);
        std::string bytes = readFile(path("t.db"));
        EXPECT_EQ(uint8_t(bytes[4]), 2);
        EXPECT_EQ(bytes.size(), 449u + 2 * 291 + 1);
        // The row is given up: no later move or post writes it behind the
        // user's back once the disk has room again.
        EXPECT_EQ(t.state(), DbfTable::State::Browse);
        EXPECT_EQ(errorOf([&] { t.Post(); }), "Dataset not in edit or insert mode");
        t.First();
        t.Last();
        EXPECT_EQ(t.FieldNumber("N"), 2);
        EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2}));
        appendRow(t, 4, 4);
        t.Close();
        bytes = readFile(path("t.db"));
        EXPECT_EQ(uint8_t(bytes[4]), 3);
        EXPECT_EQ(bytes.size(), 449u + 3 * 291 + 1);
        DbfTable reread;
        aim(reread);
        reread.Open();
        EXPECT_EQ(viewNs(reread), (std::vector<int>{1, 2, 4}));
        reread.Close();
        std::filesystem::remove(path("t.db"));
    }
}

TEST_F(DbfTableFaults, FailedEditLeavesRowAndSortAsTheyWere)
{
    DbfTable t;
    createOpen(t);
    appendRow(t, 1, 10);
    appendRow(t, 2, 20);
    t.AddIndex("tab1", "P", false);
    t.setIndexName("tab1");
    t.First();
    t.Edit();
    t.SetFieldValue("P", 30.0);
    fileio::testhook::failNthWrite(1);
    EXPECT_EQ(errorOf([&] { t.Post(); }), "Error while writing occurred. (Disk full?)");
    fileio::testhook::reset();
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2}));
    // The edit is given up: the row shows what the file holds, and moving
    // on writes nothing.
    EXPECT_EQ(t.state(), DbfTable::State::Browse);
    EXPECT_EQ(t.FieldNumber("P"), 10);
    t.Next();
    t.First();
    EXPECT_EQ(viewNs(t), (std::vector<int>{1, 2}));
    EXPECT_EQ(std::get<double>(t.ReadField(1, "P")), 10);
    t.Edit();
    t.SetFieldValue("P", 30.0);
    t.Post();
    EXPECT_EQ(viewNs(t), (std::vector<int>{2, 1}));
}

TEST_F(DbfTableFaults, PackFailureKeepsTheOldTable)
{
    for (const char* step : {"write", "rename"}) {
        SCOPED_TRACE(step);
        DbfTable t;
        createOpen(t);
        for (int i = 1; i <= 4; ++i)
            appendRow(t, i, i);
        t.GoTo(2);
        t.Delete();
        const std::string before = readFile(path("t.db"));
        if (std::string(step) == "write")
            fileio::testhook::failNthWrite(2);
        else
            fileio::testhook::failNthRename(1);
        EXPECT_EQ(errorOf([&] { t.Pack(); }), "Error while writing occurred. (Disk full?)");
        fileio::testhook::reset();
        EXPECT_EQ(readFile(path("t.db")), before);
        EXPECT_FALSE(exists(path("t_1.db")));
        EXPECT_EQ(viewNs(t), (std::vector<int>{1, 3, 4}));
        t.Pack();
        EXPECT_EQ(t.RecordCount(), 3u);
        t.Close();
        std::filesystem::remove(path("t.db"));
    }
}

TEST_F(DbfTableCursor, CommaDecimalSeparatorStillWritesPoint)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_EQ(text::decimalSeparator(), ',');
    {
        DbfTable t;
        createOpen(t);
        t.Append();
        t.SetFieldValue("P", std::string("12,5"));
        t.SetFieldValue("S", 655.35);
        EXPECT_EQ(errorOf([&] { t.SetFieldValue("F", std::string("1.5")); }),
                  "Could not convert variant of type (String) into type (Double)");
        t.Post();
        EXPECT_EQ(t.FieldText("P"), "12,5");
        t.Close();
        const std::string bytes = readFile(path("t.db"));
        EXPECT_EQ(bytes.substr(449 + 55, 18), "      12.500000000");
        EXPECT_EQ(bytes.substr(449 + 91, 18), "     655.350000000");
        t.Open();
        EXPECT_EQ(t.FieldNumber("P"), 12.5);
        EXPECT_EQ(t.FieldNumber("S"), 655.35);
    }
    QLocale::setDefault(saved);
}

TEST_F(DbfTableFaults, FailedCreateLeavesNoHalfFile)
{
    DbfTable t;
    aim(t);
    fileio::testhook::failNthWrite(1);
    EXPECT_EQ(errorOf([&] { t.CreateNew(); }), "Error while writing occurred. (Disk full?)");
    EXPECT_FALSE(exists(path("t.db")));
    EXPECT_FALSE(t.Active());
}

TEST_F(DbfTableReading, SharedReadingLeavesTheFileAlone)
{
    std::string bytes = makeTable(2);
    bytes[4] = 9; // a stale count is not corrected by a reader
    writeFile(path("t.db"), bytes);
    DbfTable a, b;
    for (DbfTable* t : {&a, &b}) {
        aim(*t);
        t->setExclusive(false);
        t->Open(); // readers open side by side
        EXPECT_TRUE(t->ReadOnly());
        EXPECT_EQ(t->VisibleCount(), 2);
    }
    EXPECT_EQ(errorOf([&] { a.Pack(); }), "Exclusive access is required for this operation.");
    EXPECT_EQ(errorOf([&] { a.AddIndex("tab1", "P", false); }), "Exclusive access is required for this operation.");
    EXPECT_EQ(errorOf([&] { a.Append(); }), "Cannot modify a read-only dataset");
    // A writer cannot open the table while it is being read.
    DbfTable writer;
    aim(writer);
    EXPECT_NE(errorOf([&] { writer.Open(); }).find("Cannot open file"), std::string::npos);
    a.Close();
    b.Close();
    EXPECT_EQ(readFile(path("t.db")), bytes);
    writer.Open();
    b.setExclusive(false);
    EXPECT_NE(errorOf([&] { b.Open(); }).find("Cannot open file"), std::string::npos);
}
