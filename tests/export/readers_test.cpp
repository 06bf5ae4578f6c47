#include "export/excelexport.h"
#include "export/xlsstyleregistry.h"
#include "export/xlsworkbook.h"
#include "export/xlswriter.h"
#include "tests/common/readnumber.h"
#include "tests/export/fakecursor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace zent5;
using zent5::testing::FakeCursor;
namespace fs = std::filesystem;

// Checks of our files by readers written by others: Python's olefile and xlrd
// (Debian python3-olefile, python3-xlrd) and Gnumeric's ssconvert.
namespace {

struct Output {
    int status;
    std::string text;
};

Output run(const std::string& command)
{
    Output out{-1, {}};
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        out.text.append(buf.data(), n);
    out.status = ::pclose(p);
    return out;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string cur;
    for (const char c : s) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

// Comma-separated rows; quoted fields may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field);
            field.clear();
        } else if (c == '\n') {
            rows.back().push_back(field);
            field.clear();
            rows.emplace_back();
        } else {
            field += c;
        }
    }
    if (rows.back().empty() && field.empty())
        rows.pop_back();
    else
        rows.back().push_back(field);
    return rows;
}

struct CellSeen {
    std::string kind;
    int xf;
    std::string value;
};

struct BookSeen {
    std::map<std::string, std::string> facts; // first field -> rest of line
    std::vector<std::string> sheets;
    std::vector<std::string> formats; // "ID TEXT", by id
    std::map<std::pair<int, int>, CellSeen> cells; // sheet 0 only
};

BookSeen readWithPython(const fs::path& file)
{
    BookSeen seen;
    const Output out = run(std::string(ZENT5_PYTHON3) + " " + quoted(std::string(ZENT5_EXPORT_TEST_DIR) + "/read_xls.py") +
                           " " + quoted(file.string()) + " 2>&1");
    EXPECT_EQ(out.status, 0) << out.text;
    std::istringstream lines(out.text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto f = split(line, '\t');
        if (f[0] == "sheet") {
            seen.sheets.push_back(line.substr(6));
        } else if (f[0] == "cell" && f.size() == 7) {
            if (f[1] == "0")
                seen.cells[{std::stoi(f[2]), std::stoi(f[3])}] = {f[4], std::stoi(f[5]), f[6]};
        } else if (f[0] == "format" && f.size() == 3) {
            seen.formats.push_back(f[1] + " " + f[2]);
        } else if (f.size() >= 2) {
            seen.facts[f[0]] = line.substr(f[0].size() + 1);
        }
    }
    return seen;
}

bool pythonReadersInstalled()
{
    return run(std::string(ZENT5_PYTHON3) + " -c 'import xlrd, olefile' 2>/dev/null").status == 0;
}

const std::vector<std::string> kHeadingsKn{"N", "Дата", "Время", "Тип анкера", "d, мм", "F, кН", "б, МПа", "S, кв.мм", "Примечание"};
const std::vector<std::string> kHeadingsKgf{"N", "Дата", "Время", "Тип анкера", "d, мм", "F, кГс", "б, кГс/кв.см", "S, кв.см", "Примечание"};

std::vector<FakeCursor::Row> manyRows(size_t n)
{
    auto rows = zent5::testing::threeMeasurements();
    std::vector<FakeCursor::Row> out;
    for (size_t i = 0; i < n; ++i) {
        FakeCursor::Row r = rows[i % 3];
        r["N"] = double(i + 1);
        r["P"] = 0.1 * double(i) + 1.0 / 3;
        r["P_KG"] = 1e6 / double(i + 7);
        r["TYPE"] = std::string(i % 5 == 0 ? "" : "тип ") + std::to_string(i);
        out.push_back(r);
    }
    return out;
}

class Readers : public ::testing::TestWithParam<Units> {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zent5_readers_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

// Every cell as the readers see it equals what the table holds.
void expectSheet(const BookSeen& seen, const std::vector<FakeCursor::Row>& rows, Units units)
{
    const auto& headings = units == Units::KiloGramForce ? kHeadingsKgf : kHeadingsKn;
    const std::array<const char*, 3> shown = units == Units::KiloGramForce
                                                 ? std::array<const char*, 3>{"P_KG", "S_KG", "F_MM"}
                                                 : std::array<const char*, 3>{"P", "S", "F"};
    ASSERT_EQ(seen.sheets.size(), 1u);
    EXPECT_EQ(seen.sheets[0], "0\tЗЕНТ-5\t" + std::to_string(rows.size() + 1) + "\t9");
    for (int c = 0; c < 9; ++c) {
        const CellSeen& cell = seen.cells.at({0, c});
        EXPECT_EQ(cell.kind, "text");
        EXPECT_EQ(cell.value, headings[size_t(c)]);
        EXPECT_EQ(cell.xf, 21);
    }
    const char* numbers[] = {"N", nullptr, nullptr, nullptr, "D", shown[0], shown[1], shown[2], nullptr};
    const char* texts[] = {nullptr, "DATE", "TIME", "TYPE", nullptr, nullptr, nullptr, nullptr, "COMMENT"};
    for (size_t k = 1; k <= rows.size(); ++k) {
        for (int c = 0; c < 9; ++c) {
            SCOPED_TRACE(::testing::Message() << "row " << k << " column " << c);
            const auto it = seen.cells.find({int(k), c});
            ASSERT_NE(it, seen.cells.end());
            const CellSeen& cell = it->second;
            EXPECT_EQ(cell.xf, 21);
            const auto& row = rows[k - 1];
            if (numbers[c]) {
                EXPECT_EQ(cell.kind, "number");
                EXPECT_EQ(zent5::testing::read_number(cell.value), std::get<double>(row.at(numbers[c])));
            } else {
                const auto f = row.find(texts[c]);
                std::string expected = f == row.end() ? std::string() : std::get<std::string>(f->second);
                for (size_t p; (p = expected.find("\r\n")) != std::string::npos;)
                    expected.replace(p, 2, "\\n");
                EXPECT_EQ(cell.kind, expected.empty() ? "blank" : "text");
                EXPECT_EQ(cell.value, expected);
            }
        }
    }
}

TEST_P(Readers, PythonReadersSeeEveryValue)
{
    if (!pythonReadersInstalled())
        GTEST_SKIP() << "python3 with xlrd and olefile is not installed";
    const Units units = GetParam();
    for (const size_t n : {size_t(0), size_t(3), size_t(1500)}) {
        SCOPED_TRACE(n);
        FakeCursor table;
        table.rows = n == 3 ? zent5::testing::threeMeasurements() : manyRows(n);
        const fs::path file = m_dir / "book.xls";
        writeMeasurementWorkbook(table, units, file.string());
        const BookSeen seen = readWithPython(file);
        EXPECT_EQ(seen.facts.at("streams"), "Workbook");
        EXPECT_EQ(seen.facts.at("clsid"), "");
        EXPECT_EQ(seen.facts.at("user"), "DUvazuv");
        expectSheet(seen, table.rows, units);
    }
}

TEST_F(Readers, BuiltInCurrencyFormatsAsXlrdSeesThem)
{
    if (!pythonReadersInstalled())
        GTEST_SKIP() << "python3 with xlrd and olefile is not installed";
    FakeCursor table;
    const fs::path file = m_dir / "f.xls";
    writeMeasurementWorkbook(table, Units::KiloNewton, file.string());
    EXPECT_EQ(readWithPython(file).formats,
              (std::vector<std::string>{
                  "5 #,##0\"р.\";\\-#,##0\"р.\"",
                  "6 #,##0\"р.\";[Red]\\-#,##0\"р.\"",
                  "7 #,##0.00\"р.\";\\-#,##0.00\"р.\"",
                  "8 #,##0.00\"р.\";[Red]\\-#,##0.00\"р.\"",
                  "41 _-* #,##0_р_._-;\\-* #,##0_р_._-;_-* \"-\"_р_._-;_-@_-",
                  "42 _-* #,##0\"р.\"_-;\\-* #,##0\"р.\"_-;_-* \"-\"\"р.\"_-;_-@_-",
                  "43 _-* #,##0.00_р_._-;\\-* #,##0.00_р_._-;_-* \"-\"??_р_._-;_-@_-",
                  "44 _-* #,##0.00\"р.\"_-;\\-* #,##0.00\"р.\"_-;_-* \"-\"??\"р.\"_-;_-@_-",
              }));
}

INSTANTIATE_TEST_SUITE_P(Units, Readers, ::testing::Values(Units::KiloNewton, Units::KiloGramForce),
                         [](const ::testing::TestParamInfo<Units>& i) {
                             return i.param == Units::KiloGramForce ? "kgf" : "kN";
                         });

TEST_F(Readers, DefaultPaletteMatchesXlrd)
{
    if (!pythonReadersInstalled())
        GTEST_SKIP() << "python3 with xlrd and olefile is not installed";
    FakeCursor table;
    const fs::path file = m_dir / "p.xls";
    writeMeasurementWorkbook(table, Units::KiloNewton, file.string());
    std::string ours;
    char buf[8];
    for (const XlsColor c : XlsStyleRegistry::DefaultPalette()) {
        std::snprintf(buf, sizeof buf, "%02X%02X%02X ", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        ours += buf;
    }
    ours.pop_back();
    EXPECT_EQ(readWithPython(file).facts.at("palette"), ours);
}

TEST_F(Readers, MergedAreasAndColoursAsXlrdSeesThem)
{
    if (!pythonReadersInstalled())
        GTEST_SKIP() << "python3 with xlrd and olefile is not installed";
    XlsWorkbook book;
    XlsWorksheet& s = book.AddSheet();
    s.SetName("Лист");
    s.Range(0, 0, 2, 1).SetValue("объединено");
    XlsRange& red = s.Range(3, 0, 3, 0);
    red.SetValue(2.5);
    red.Format().Font.Color = xlsRgb(0x12, 0x34, 0x56);
    s.Range(0, 2, 0, 2).SetValue(std::string(5000, 'w'));
    book.AddSheet();
    XlsWriter writer;
    const fs::path file = m_dir / "m.xls";
    writer.Save(book, file.string());
    const BookSeen seen = readWithPython(file);
    ASSERT_EQ(seen.sheets.size(), 2u);
    EXPECT_EQ(seen.sheets[0], "0\tЛист\t3\t4");
    EXPECT_EQ(seen.sheets[1], "1\tSheet2\t0\t0");
    EXPECT_EQ(seen.cells.at({0, 0}).value, "объединено");
    EXPECT_EQ(seen.cells.at({0, 1}).kind, "blank");
    EXPECT_EQ(seen.cells.at({1, 2}).kind, "blank");
    EXPECT_EQ(seen.cells.at({0, 3}).value, "2.5");
    EXPECT_EQ(seen.cells.at({2, 0}).value, std::string(5000, 'w'));
}

TEST_F(Readers, GnumericConvertsOurFile)
{
    if (run("command -v ssconvert >/dev/null 2>&1").status != 0)
        GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    FakeCursor table;
    table.rows = zent5::testing::threeMeasurements();
    const fs::path file = m_dir / "g.xls";
    const fs::path csv = m_dir / "g.csv";
    writeMeasurementWorkbook(table, Units::KiloGramForce, file.string());
    // ssconvert writes its CSV numbers in its locale's form; in the plain one
    // they read back exactly (the workbook itself holds them in binary).
    const Output out = run("LC_ALL=C.UTF-8 ssconvert --export-type=Gnumeric_stf:stf_csv " + quoted(file.string()) +
                           " " + quoted(csv.string()) + " 2>&1");
    ASSERT_EQ(out.status, 0) << out.text;
    std::ifstream in(csv, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto rows = parseCsv(text);
    ASSERT_EQ(rows.size(), 4u) << text;
    EXPECT_EQ(rows[0], kHeadingsKgf);
    const char* numbers[] = {"N", nullptr, nullptr, nullptr, "D", "P_KG", "S_KG", "F_MM", nullptr};
    const char* texts[] = {nullptr, "DATE", "TIME", "TYPE", nullptr, nullptr, nullptr, nullptr, "COMMENT"};
    for (size_t k = 1; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 9u);
        const auto& row = table.rows[k - 1];
        for (size_t c = 0; c < 9; ++c) {
            SCOPED_TRACE(::testing::Message() << "row " << k << " column " << c);
            if (numbers[c]) {
                EXPECT_EQ(zent5::testing::read_number(rows[k][c]), std::get<double>(row.at(numbers[c])));
            } else {
                const auto f = row.find(texts[c]);
                std::string expected = f == row.end() ? std::string() : std::get<std::string>(f->second);
                for (size_t p; (p = expected.find("\r\n")) != std::string::npos;)
                    expected.replace(p, 2, "\n");
                EXPECT_EQ(rows[k][c], expected);
            }
        }
    }
}

} // namespace
