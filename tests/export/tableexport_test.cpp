#include "export/excelexport.h"
#include "export/xlstext.h"
#include "export/xlsworkbook.h"
#include "records/error.h"
#include "table/dbftable.h"
#include "tests/common/scriptedprompter.h"
#include "tools/commands.h"
#include "tests/common/capturedrun.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace zent5;
using zent5::testing::ScriptedPrompter;
namespace fs = std::filesystem;

// The export over a real table file, through the window's command and
// through zent5-tool export.
namespace {

struct Measurement {
    double n;
    const char* date;
    const char* time;
    const char* type;
    double d, p, pKg, s, sKg, f, fMm;
    const char* comment;
};

const Measurement kRows[] = {
    {3, "01.03.2024", "08:00:01", "анкер", 12, 50.25, 5124.1, 444.5, 4532.7, 113.1, 1.131, "проверка"},
    {1, "02.03.2024", "09:30:00", "канат К7", 15.2, 180.5, 18406.2, 1293.9, 13194.1, 139.5, 1.395, ""},
    {2, "03.03.2024", "10:45:59", "", 5, 7.125, 726.5, 362.9, 3700.6, 19.63, 0.1963, "строка 1\r\nстрока 2"},
};

class TableExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("zent5_table_export_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        DbfTable t;
        aim(t);
        t.CreateNew();
        t.Open();
        for (const Measurement& m : kRows) {
            t.Append();
            t.SetFieldValue("N", m.n);
            t.SetFieldValue("DATE", std::string(m.date));
            t.SetFieldValue("TIME", std::string(m.time));
            t.SetFieldValue("SERIAL", 4242.0);
            t.SetFieldValue("TYPE", std::string(m.type));
            t.SetFieldValue("D", m.d);
            t.SetFieldValue("P", m.p);
            t.SetFieldValue("P_KG", m.pKg);
            t.SetFieldValue("S", m.s);
            t.SetFieldValue("S_KG", m.sKg);
            t.SetFieldValue("F", m.f);
            t.SetFieldValue("F_MM", m.fMm);
            t.SetFieldValue("COMMENT", std::string(m.comment));
            t.Post();
        }
        t.Close();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void aim(DbfTable& t) const
    {
        t.setFilePath(m_dir.string());
        t.setTableName("t.db");
    }

    fs::path m_dir;
};

// Column values of sheet row k (1-based) as the table rows above give them.
void expectRows(const XlsWorksheet& sheet, const std::vector<int>& order, Units units)
{
    ASSERT_EQ(sheet.RangeCount(), 9 * int(order.size() + 1));
    for (size_t k = 1; k <= order.size(); ++k) {
        SCOPED_TRACE(k);
        const Measurement& m = kRows[order[k - 1]];
        auto number = [&](int c) { return std::get<double>(sheet.RangeAt(int(9 * k) + c).Value()); };
        auto text = [&](int c) { return xlstext::toUtf8(sheet.RangeAt(int(9 * k) + c).TextForm()); };
        EXPECT_EQ(number(0), m.n);
        EXPECT_EQ(text(1), m.date);
        EXPECT_EQ(text(2), m.time);
        EXPECT_EQ(text(3), m.type);
        EXPECT_EQ(number(4), m.d);
        EXPECT_EQ(number(5), units == Units::KiloGramForce ? m.pKg : m.p);
        EXPECT_EQ(number(6), units == Units::KiloGramForce ? m.sKg : m.s);
        EXPECT_EQ(number(7), units == Units::KiloGramForce ? m.fMm : m.f);
        std::string comment = m.comment;
        if (const size_t p = comment.find("\r\n"); p != std::string::npos)
            comment.replace(p, 2, "\n");
        EXPECT_EQ(text(8), comment);
    }
}

TEST_F(TableExport, SortedTableGoesOutInFileOrderAndStaysUnsorted)
{
    DbfTable t;
    aim(t);
    t.Open();
    t.AddIndex("tab1", "N", false);
    t.setIndexName("tab1");
    t.First();
    ASSERT_EQ(t.FieldNumber("N"), 1); // sorted by N

    ScriptedPrompter prompter;
    const fs::path book = m_dir / "tests.xls";
    prompter.files.push_back(book.string());
    // What the main window does to the grid's sort.
    exp2excel(t, Units::KiloNewton, prompter, m_dir.string(), [&] {
        t.setIndexName("");
        t.DeleteIndex("tab1");
        t.Refresh();
    });
    EXPECT_EQ(prompter.messageLines(), std::vector<std::string>{"Экспорт в Excel: Экспорт в файл tests.xls завершен успешно."});
    EXPECT_TRUE(fs::is_regular_file(book));
    EXPECT_EQ(t.IndexName(), "");
    EXPECT_FALSE(fs::exists(t.IndexFilePath()));

    // The same walk, kept in memory, shows the file order.
    XlsWorkbook workbook;
    XlsWorksheet& sheet = workbook.AddSheet();
    fillMeasurementSheet(sheet, t, Units::KiloNewton);
    expectRows(sheet, {0, 1, 2}, Units::KiloNewton);
    t.Close();
}

TEST_F(TableExport, BothUnitSystemsFromTheFile)
{
    for (const Units units : {Units::KiloNewton, Units::KiloGramForce}) {
        SCOPED_TRACE(units == Units::KiloGramForce ? "kgf" : "kN");
        DbfTable t;
        aim(t);
        t.setExclusive(false);
        t.Open();
        XlsWorkbook workbook;
        XlsWorksheet& sheet = workbook.AddSheet();
        fillMeasurementSheet(sheet, t, units);
        expectRows(sheet, {0, 1, 2}, units);
        t.Close();
    }
}

// ---- zent5-tool export ----

using zent5::testing::ToolRun;

// Runs the subcommand in this process with stdout and stderr caught.
ToolRun runExportTool(const std::vector<std::string>& args, const fs::path& folder)
{
    return zent5::testing::runCaptured([&] { return tool::runExport(args); }, folder.string());
}

std::string runPython(const fs::path& book)
{
    const std::string command = std::string(ZENT5_PYTHON3) + " '" + ZENT5_EXPORT_TEST_DIR + "/read_xls.py' '" +
                                book.string() + "' 2>&1";
    std::string text;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return text;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        text.append(buf.data(), n);
    ::pclose(p);
    return text;
}

TEST_F(TableExport, ToolWritesTheBookAndSaysSo)
{
    struct Case {
        std::vector<std::string> options;
        Units units;
    };
    const Case cases[] = {{{}, Units::KiloNewton},
                          {{"--units", "kn"}, Units::KiloNewton},
                          {{"--units", "kgf"}, Units::KiloGramForce}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "no --units" : c.options[1]);
        const fs::path book = m_dir / "Книга.xls";
        std::vector<std::string> args = c.options;
        args.push_back((m_dir / "t.db").string());
        args.push_back(book.string());
        const ToolRun r = runExportTool(args, m_dir);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Экспорт в Excel: Экспорт в файл Книга.xls завершен успешно.\n");
        ASSERT_TRUE(fs::is_regular_file(book));

        if (std::system((std::string(ZENT5_PYTHON3) + " -c 'import xlrd, olefile' 2>/dev/null").c_str()) != 0)
            continue;
        const std::string seen = runPython(book);
        EXPECT_NE(seen.find("sheet\t0\tЗЕНТ-5\t4\t9\n"), std::string::npos) << seen;
        EXPECT_NE(seen.find(c.units == Units::KiloGramForce ? "cell\t0\t0\t5\ttext\t21\tF, кГс\n" : "cell\t0\t0\t5\ttext\t21\tF, кН\n"),
                  std::string::npos);
        // Row 2 of the sheet is the second record of the file.
        EXPECT_NE(seen.find(c.units == Units::KiloGramForce ? "cell\t0\t2\t5\tnumber\t21\t18406.2\n" : "cell\t0\t2\t5\tnumber\t21\t180.5\n"),
                  std::string::npos);
        EXPECT_NE(seen.find("cell\t0\t3\t8\ttext\t21\tстрока 1\\nстрока 2\n"), std::string::npos);
    }
}

TEST_F(TableExport, ToolRefusesBadArgumentsAndReportsErrors)
{
    const std::string table = (m_dir / "t.db").string();
    const std::string book = (m_dir / "b.xls").string();
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* err; // exact, or nullptr: only not empty
    };
    const Case cases[] = {
        {{}, 2, "usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n"},
        {{table}, 2, "usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n"},
        {{"--units", "mm", table, book}, 2, "usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n"},
        {{"--units"}, 2, "usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n"},
        {{"-x", table, book}, 2, "usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n"},
        {{table, (m_dir / "no folder" / "b.xls").string()}, 1, "StgCreateDocFile error -2147287037\n"},
        {{(m_dir / "missing.db").string(), book}, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.size());
        const ToolRun r = runExportTool(c.args, m_dir);
        EXPECT_EQ(r.code, c.code);
        if (c.err)
            EXPECT_EQ(r.err, c.err);
        else
            EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(fs::exists(book));
    }
}

} // namespace
