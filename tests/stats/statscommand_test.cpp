#include "common/capturedrun.h"
#include "common/qtlocale.h"
#include "common/scopedlocale.h"
#include "print/pdftools.h"
#include "table/tablefixture.h"
#include "tools/commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

using namespace zent5;
using zent5::testing::TableFolder;
using zent5::testing::ToolRun;

namespace {

const std::string kHeading = "type,diameter,quantity,n,mean,min,max,s,cv,characteristic,failed,failed_n,empty\n";
const std::string kUsage =
    "usage: zent5-tool stats [--units kn|kgf] [--required-force X] [--required-stress Y] [--pdf FILE] TABLE.db\n";

struct Row {
    double n;
    const char* type;
    std::optional<double> d, p, pKg, s, sKg;
};

} // namespace

class StatsCommand : public TableFolder {
protected:
    ToolRun stats(const std::vector<std::string>& args)
    {
        return zent5::testing::runCaptured([&] { return tool::runStats(args); }, folder());
    }

    void writeTable(const std::vector<Row>& rows)
    {
        DbfTable t;
        createOpen(t);
        for (const Row& r : rows) {
            t.Append();
            t.SetFieldValue("N", r.n);
            t.SetFieldValue("TYPE", std::string(r.type));
            const std::pair<const char*, std::optional<double>> numbers[] = {
                {"D", r.d}, {"P", r.p}, {"P_KG", r.pKg}, {"S", r.s}, {"S_KG", r.sKg}};
            for (const auto& [field, v] : numbers)
                if (v)
                    t.SetFieldValue(field, *v);
            t.Post();
        }
        t.Close();
    }
};

TEST_F(StatsCommand, FiguresInEitherSystemOfUnits)
{
    const std::optional<double> none;
    writeTable({
        {1, "проволока", 5, 12.34, 1258, 436, 4446},
        {2, "проволока", 5, 11.9, 1213, 420.5, 4288},
        {3, "канат", 15, 50, 5099, none, none},
        {4, "проволока", 5, 13, 1326, 459.4, 4685},
    });
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {"kN and MPa by default, nothing required",
         {},
         kHeading + "проволока,5,P,3,12.4133333333333,11.9,13,0.553654525253188,4.46015997787208,"
                    "10.5475175832301,,,0\n"
                    "проволока,5,S,3,438.633333333333,420.5,459.4,19.5832411345347,4.46460395194195,"
                    "372.637810709951,,,0\n"
                    "канат,15,P,1,50,50,50,,,,,,0\n"
                    "канат,15,S,0,,,,,,,,,1\n"
                    "Всего,,P,4,21.81,11.9,50,18.7987694632743,86.1933492126285,-27.6307636884113,,,0\n"
                    "Всего,,S,3,438.633333333333,420.5,459.4,19.5832411345347,4.46460395194195,"
                    "372.637810709951,,,1\n"},
        {"kgf with both required values, a comma as the decimal separator",
         {"--units", "kgf", "--required-force", "1258,5", "--required-stress=4446"},
         kHeading + "проволока,5,P_KG,3,1265.66666666667,1213,1326,56.8887803818409,4.49476800488604,"
                    "1073.95147677986,2,1 2,0\n"
                    "проволока,5,S_KG,3,4473,4288,4685,199.872459333446,4.46842073180071,3799.42981204629,1,2,0\n"
                    "канат,15,P_KG,1,5099,5099,5099,,,,0,,0\n"
                    "канат,15,S_KG,0,,,,,,,0,,1\n"
                    "Всего,,P_KG,4,2224,1213,5099,1917.22942462989,86.2063590211283,-2818.31338677662,2,1 2,0\n"
                    "Всего,,S_KG,3,4473,4288,4685,199.872459333446,4.46842073180071,3799.42981204629,1,2,1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        args.push_back(path("t.db"));
        const ToolRun r = stats(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.out);
    }
}

class StatsCommandUnderLocale : public StatsCommand, public ::testing::WithParamInterface<const char*> {};

TEST_P(StatsCommandUnderLocale, NumbersTypedEitherWay)
{
    writeTable({{1, "проволока", 5, 12.34, 1258, 436, 4446}, {2, "проволока", 5, 12.5, 1275, 441.7, 4504}});
    const zent5::testing::ScopedLocale locale(GetParam());
    if (!locale.ok())
        GTEST_SKIP() << GetParam() << " is not installed";
    for (const char* typed : {"12.4", "12,4", "1.24e1", " 12.4"}) {
        SCOPED_TRACE(typed);
        const ToolRun r = stats({"--required-force", typed, path("t.db")});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("\nпроволока,5,P,2,12.42,12.34,12.5,0.113137084989848,0.910926610224217,,1,1,0\n"),
                  std::string::npos)
            << r.out;
    }
}

// The cells of a table line as pdftotext -layout lays them out: in order,
// apart by spaces.
std::regex lineOf(const std::vector<std::string>& cells)
{
    std::string pattern;
    for (const std::string& c : cells)
        pattern += (pattern.empty() ? "" : " +") + std::regex_replace(c, std::regex(R"([.()+|\\])"), R"(\$&)");
    return std::regex(pattern);
}

TEST_P(StatsCommandUnderLocale, PdfIsThePageOfTheWindowWithTheFiguresAsShown)
{
    if (!zent5::testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    const std::optional<double> none;
    writeTable({{1, "проволока", 5, 12.34, 1258, 436, 4446},
                {2, "проволока", 5, 12.5, 1275, 441.7, 4504},
                {3, "канат", 15, 50, 5099, none, none}});
    const zent5::testing::ScopedLocale locale(GetParam());
    if (!locale.ok())
        GTEST_SKIP() << GetParam() << " is not installed";
    const zent5::testing::DefaultQtLocale qtLocale(GetParam());
    const std::string sep = std::string(GetParam()).rfind("C.", 0) == 0 ? "." : ",";
    const auto n = [&](std::string text) { return std::regex_replace(text, std::regex(R"(\.)"), sep); };

    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> lines;              // texts the page holds
        std::vector<std::vector<std::string>> rows; // lines of the table of figures
    } cases[] = {
        {"kN with a required force",
         {"--required-force", "12,4"},
         {"Статистика испытаний", "Таблица: t.db", "Все строки: 3", n("Требуемое усилие: 12.40 кН"),
          "Требуемое напряжение: не задано", "График: Усилие, Все строки", "Все строки (n = 3)",
          "Номер испытания в серии", "Стр. 1 из 1"},
         {{"проволока", "5", "F, кН", "2", n("12.42"), n("12.34"), n("12.50"), n("0.11"), n("0.9"), "0", "1", "1"},
          {"канат", "15", "σ, МПа", "0", "1"},
          {"Все строки", "F, кН", "3", n("24.95"), n("12.34"), n("50.00"), n("21.70"), n("87.0"), n("-48.17"), "0",
           "1", "1"}}},
        {"kgf, general numbers",
         {"--units", "kgf"},
         {"Требуемое усилие: не задано", "Все строки (n = 3)"},
         {{"проволока", "5", "F, кГс", "2", n("1266.5"), "1258", "1275", n("12.0208152801713"), n("0.9"), "0"},
          {"Все строки", "σ, кГс/кв.см", "2", "4475", "4446", "4504"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pdf = path("stats.pdf");
        std::vector<std::string> args = c.args;
        for (const std::string& a : {std::string("--pdf"), pdf, path("t.db")})
            args.push_back(a);
        const ToolRun withPage = stats(args);
        ASSERT_EQ(withPage.code, 0) << withPage.err;
        args.erase(args.end() - 3, args.end() - 1);
        EXPECT_EQ(withPage.out, stats(args).out) << "the CSV is the same with the page";

        const std::string info = zent5::testing::pdfInfo(QString::fromStdString(pdf));
        EXPECT_TRUE(std::regex_search(info, std::regex(R"(\nPages: +1\n)"))) << info;
        EXPECT_TRUE(std::regex_search(info, std::regex(R"(\nPage size: +84[12][.0-9]* x 595[.0-9]* pts \(A4\))")))
            << info;
        const std::string text =
            zent5::testing::runTool("pdftotext", {"-layout", "-enc", "UTF-8", QString::fromStdString(pdf), "-"});
        for (const std::string& line : c.lines)
            EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
        for (const std::vector<std::string>& row : c.rows)
            EXPECT_TRUE(std::regex_search(text, lineOf(row))) << row[0] << " " << row[2] << "\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, StatsCommandUnderLocale, ::testing::ValuesIn(zent5::testing::kTestLocales));

TEST_F(StatsCommand, UsageErrors)
{
    writeTable({});
    const std::string t = path("t.db");
    const struct {
        std::vector<std::string> args;
        std::string what;
    } cases[] = {
        {{"--required-force", "abc", t}, "--required-force needs a number of 0 or more"},
        {{"--required-force", "-1", t}, "--required-force needs a number of 0 or more"},
        {{"--required-force", "", t}, "--required-force needs a number of 0 or more"},
        {{"--required-force=", t}, "--required-force needs a number of 0 or more"},
        {{"--required-stress", "12,5,1", t}, "--required-stress needs a number of 0 or more"},
        {{"--required-stress", "1.5,2", t}, "--required-stress needs a number of 0 or more"},
        {{"--required-stress", "inf", t}, "--required-stress needs a number of 0 or more"},
        {{"--required-stress", "nan", t}, "--required-stress needs a number of 0 or more"},
        {{"--required-stress", "1e999", t}, "--required-stress needs a number of 0 or more"},
        {{t, "--required-stress"}, "--required-stress needs a number of 0 or more"},
        {{"--units", "mpa", t}, "--units needs kn or kgf"},
        {{"--units"}, "--units needs kn or kgf"},
        {{t, "--pdf"}, "--pdf needs a file name"},
        {{"--pdf=", t}, "--pdf needs a file name"},
        {{"--pdf", "", t}, "--pdf needs a file name"},
        {{"--pdfs", "a.pdf", t}, "unknown option --pdfs"},
        {{"-x", t}, "unknown option -x"},
        {{}, "no table file given"},
        {{"--units", "kgf"}, "no table file given"},
        {{t, t}, "only one table file may be given"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args)
            line += "[" + a + "]";
        SCOPED_TRACE(line);
        const ToolRun r = stats(c.args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.err, "zent5-tool stats: " + c.what + "\n" + kUsage);
        EXPECT_EQ(r.out, "");
    }
    // Zero is a value like any other.
    EXPECT_EQ(stats({"--required-force", "0", "--required-stress", "0", t}).code, 0);
}

TEST_F(StatsCommand, TableErrors)
{
    ToolRun r = stats({path("none.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Open: file not found: \"" + path("none.db") + "\".\n");
    EXPECT_EQ(r.out, "");

    writeFile(path("bad.db"), std::string(40, '\x07'));
    r = stats({path("bad.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Invalid DBF file.\n");

}

TEST_F(StatsCommand, APageThatCannotBeWrittenFailsAndAnOlderOneStays)
{
    writeTable({{1, "проволока", 5, 12.34, 1258, 436, 4446}});
    const std::string missing = path("absent/stats.pdf");
    ToolRun r = stats({"--pdf", missing, path("t.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Не удаётся создать файл " + missing + "\n");
    EXPECT_EQ(r.out, "");

    writeFile(path("old.pdf"), "older page");
    writeFile(path("bad.db"), std::string(40, '\x07'));
    r = stats({"--pdf", path("old.pdf"), path("bad.db")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(readFile(path("old.pdf")), "older page");
}

TEST_F(StatsCommand, TableAnotherProgramWrote)
{
    // Code page 866, a deleted row, a stale count; see make_other_writer.py beside the file.
    const std::string fixture = std::string(ZENT5_TEST_DATA_DIR) + "/table/other_writer.dbf";
    writeFile(path("other.dbf"), readFile(fixture));
    const ToolRun r = stats({"--required-force", "0", path("other.dbf")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, kHeading + "проволока,5,P,1,12.34,12.34,12.34,,,,0,,0\n"
                                "проволока,5,S,1,436,436,436,,,,,,0\n"
                                "канат,7.5,P,1,-1.5,-1.5,-1.5,,,,1,3,0\n"
                                "канат,7.5,S,1,0,0,0,,,,,,0\n"
                                "Всего,,P,2,5.42,-1.5,12.34,9.78635785162182,180.560107963502,,1,3,0\n"
                                "Всего,,S,2,218,0,436,308.298556597335,141.42135623731,,,,0\n");
    EXPECT_EQ(readFile(path("other.dbf")), readFile(fixture)) << "reading leaves the file untouched";
}
