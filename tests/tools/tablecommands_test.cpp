// zent5-tool's table commands: the sorted rows, renumbering and deleting,
// run as a script runs them.
#include "tests/tools/tooltestsupport.h"
#include "tests/common/scopedlocale.h"
#include "tests/session/sessiontestsupport.h"

#include "table/dbftable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zent5 {
namespace {

using testing::ProgramRun;
using testing::ToolFolder;

using testing::Row;

// Five rows in file order: forces with a tie, comments whose Russian order
// is not their byte order in code page 1251.
const std::vector<Row> kRows = {
    {1, 30, "яблоко"}, {2, 50, "Ель"}, {3, 10, "арбуз"}, {4, 50, "ёж"}, {5, 20, "ель"}};

// The first field (N) of every line after the header.
std::vector<std::string> numbersOf(const std::string& csv)
{
    std::vector<std::string> ns;
    size_t at = csv.find('\n') + 1;
    while (at < csv.size()) {
        const size_t end = csv.find('\n', at);
        ns.push_back(csv.substr(at, csv.find(',', at) - at));
        at = end + 1;
    }
    return ns;
}

class TableCommands : public ::testing::Test {
protected:
    TableCommands() { testing::writeTable(folder.path(""), "t.db", kRows); }

    QString table() const { return QString::fromStdString(folder.path("t.db")); }

    ToolFolder folder;
};

// The order of the window's sorted view: a title click on the column; ties
// in file order, texts in Russian order; the file itself untouched and no
// index file left beside it.
TEST_F(TableCommands, RowsSortedAsTheWindowSortsThem)
{
    const std::string before = testing::readFile(folder.path("t.db"));
    struct Case {
        const char* sort;
        std::vector<std::string> ns;
    };
    const Case cases[] = {
        {"P:desc", {"2", "4", "1", "5", "3"}},
        {"P", {"3", "5", "1", "2", "4"}},
        {"p", {"3", "5", "1", "2", "4"}},
        {"COMMENT", {"3", "4", "5", "2", "1"}},
        {"COMMENT:desc", {"1", "2", "5", "4", "3"}},
    };
    for (const char* locale : testing::kTestLocales) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(locale) + " " + c.sort);
            const ProgramRun r = folder.tool({"rows", "--sort", c.sort, table()}, locale);
            EXPECT_EQ(r.code, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "N,DATE,TIME,SERIAL,P,P_KG,S,S_KG,F,D,TYPE,COMMENT,F_MM");
            EXPECT_EQ(numbersOf(r.out), c.ns);
        }
    }
    EXPECT_TRUE(testing::readFile(folder.path("t.db")) == before) << "the table changed";
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableCommands, RowsUsageErrors)
{
    struct Case {
        QStringList args;
        const char* problem;
    };
    const Case cases[] = {
        {{"--sort"}, "zent5-tool rows: --sort needs a field\n"},
        {{"--sort", "P:up", table()}, "zent5-tool rows: --sort takes FIELD or FIELD:desc\n"},
        {{"--sort", ":desc", table()}, "zent5-tool rows: --sort needs a field\n"},
        {{"--sort", "FORCE", table()}, "zent5-tool rows: Field 'FORCE' not found\n"},
        {{"--order", "P", table()}, "zent5-tool rows: unknown option --order\n"},
        {{table(), table()}, "zent5-tool rows: only one table file may be given\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = folder.tool(QStringList{"rows"} + c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string(c.problem) + "usage: zent5-tool rows [--sort FIELD[:desc]] TABLE.db\n");
    }
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableCommands, RenumberNumbersTheRowsInFileOrder)
{
    testing::writeTable(folder.path(""), "t.db", {{7, 1, "а"}, {3, 2, "б"}, {7, 3, "в"}});
    const ProgramRun r = folder.tool({"renumber", table()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(numbersOf(folder.rows(folder.path("t.db"))), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableCommands, DeleteRemovesTheRowsByTheirNumbersAndCompactsTheTable)
{
    const size_t sizeBefore = testing::readFile(folder.path("t.db")).size();
    const ProgramRun r = folder.tool({"delete", table(), "4", "2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(numbersOf(folder.rows(folder.path("t.db"))), (std::vector<std::string>{"1", "3", "5"}));
    const size_t sizeAfter = testing::readFile(folder.path("t.db")).size();
    EXPECT_LT(sizeAfter, sizeBefore) << "the deleted rows are gone from the file";
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

TEST_F(TableCommands, DeleteOfANumberNoRowHasChangesNothing)
{
    const std::string before = testing::readFile(folder.path("t.db"));
    struct Case {
        QStringList numbers;
        const char* problem;
    };
    const Case cases[] = {
        {{"2", "9"}, "no row has N 9"},
        {{"9", "0", "3"}, "no rows have N 9, 0"},
        {{}, "no row number given"},
        {{"2", "x"}, "not a row number: x"},
        {{"-1"}, "not a row number: -1"},
        {{"2.5"}, "not a row number: 2.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.numbers.join(' ').toStdString());
        const ProgramRun r = folder.tool(QStringList{"delete", table()} + c.numbers);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err, std::string("zent5-tool delete: ") + c.problem + "\nusage: zent5-tool delete TABLE.db N...\n");
    }
    EXPECT_TRUE(testing::readFile(folder.path("t.db")) == before) << "the table changed";
    EXPECT_EQ(folder.files(), std::vector<std::string>{"t.db"});
}

// A table another program holds open, or one that is no table, is told as
// the table component tells it; nothing is written.
TEST_F(TableCommands, TablesThatDoNotOpenFailTheCommands)
{
    testing::writeFile(folder.path("bad.db"), "this is no table");
    DbfTable held;
    held.setFilePath(folder.path(""));
    held.setTableName("t.db");
    held.Open();
    const std::string path = folder.path("t.db");
    struct Case {
        QStringList args;
        std::string error; // the start of it
    };
    const Case cases[] = {
        {{"renumber", table()}, "Cannot open file \"" + path + "\". "},
        {{"delete", table(), "1"}, "Cannot open file \"" + path + "\". "},
        {{"rows", "--sort", "P", table()}, "Cannot open file \"" + path + "\". "},
        {{"renumber", QString::fromStdString(folder.path("bad.db"))}, "Invalid DBF file.\n"},
        {{"delete", QString::fromStdString(folder.path("none.db")), "1"},
         "Open: file not found: \"" + folder.path("none.db") + "\".\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = folder.tool(c.args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
    }
    held.Close();
    EXPECT_EQ(testing::readFile(folder.path("bad.db")), "this is no table");
}

} // namespace
} // namespace zent5
