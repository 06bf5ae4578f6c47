// Reports of real table files: composed over the table component, and
// written by `zent5-tool report`.
#include "print/printplatform.h"
#include "print/reportcommands.h"
#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "records/error.h"
#include "table/dbftable.h"

#include "pdftools.h"
#include "tests/common/programlocale.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <utility>
#include <vector>

namespace zent5 {
namespace {

const QString kTool = QStringLiteral(ZENT5_BINARY_DIR "/tools/zent5-tool");

class ReportOfATable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    using Values = std::vector<std::pair<const char*, FieldValue>>;

    // Points the table component at a table of the test's folder.
    void pointAt(DbfTable& t, const std::string& name) const
    {
        t.setFilePath(m_dir.path().toStdString() + "/");
        t.setTableName(name);
    }

    // A table of `rows` measurements of 07.03.2014 09:05:07 on wire: N runs
    // 1..rows with the comment "ряд N"; `values` gives row N's other columns.
    std::string writeTable(const std::string& name, int rows, const std::function<Values(int)>& values)
    {
        DbfTable t;
        pointAt(t, name);
        t.CreateNew();
        t.Open();
        for (int i = 1; i <= rows; ++i) {
            t.Append();
            t.SetFieldValue("N", double(i));
            t.SetFieldValue("DATE", std::string("07.03.2014"));
            t.SetFieldValue("TIME", std::string("09:05:07"));
            t.SetFieldValue("TYPE", std::string("проволока"));
            t.SetFieldValue("COMMENT", std::string("ряд ") + std::to_string(i));
            for (const auto& [field, value] : values(i))
                t.SetFieldValue(field, value);
            t.Post();
        }
        t.Close();
        return t.TablePath();
    }

    // The force falls as N grows, and row 2 is deleted.
    std::string createTable(int rows, const std::string& name = "t.db")
    {
        const std::string path = writeTable(name, rows, [rows](int i) {
            return Values{{"SERIAL", i == 1 ? 501.0 : 777.0},
                          {"P", 12.3 + (rows - i)},
                          {"P_KG", 1258.0},
                          {"S", 436.0},
                          {"S_KG", 4446.0},
                          {"F", 28.3},
                          {"D", 6.0},
                          {"F_MM", 0.283}};
        });
        if (rows >= 2) {
            DbfTable t;
            pointAt(t, name);
            t.Open();
            t.GoTo(2);
            t.Delete();
            t.Close();
        }
        return path;
    }

    QTemporaryDir m_dir;
};

std::vector<std::string> printedNumbers(const ComposedReport& r)
{
    std::vector<std::string> out;
    for (const auto& page : r.pages)
        for (const auto& band : page.bands)
            if (band.kind == BandKind::MasterData)
                out.push_back(band.cells.at(0).text);
    return out;
}

TEST_F(ReportOfATable, PrintsVisibleRowsInTheViewOrderAndLeavesTheTableOnItsLastRow)
{
    createTable(5);
    DbfTable t;
    pointAt(t, "t.db");
    t.Open();
    ReportComposer composer(report1Layout());
    composer.setDecimalSeparator(',');

    ComposedReport r = composer.compose(t);
    EXPECT_EQ(printedNumbers(r), (std::vector<std::string>{"1", "3", "4", "5"})); // no deleted row
    EXPECT_EQ(t.RecNo(), 5u);
    EXPECT_EQ(r.pages[0].bands[0].cells[0].text, "ЗЕНТ-5  № 501");

    // Sorted by force, smallest first: the title's serial follows the new first row.
    t.AddIndex("tab1", "P", false);
    t.setIndexName("tab1");
    t.RebuildIndexes();
    t.Refresh();
    r = composer.compose(t);
    EXPECT_EQ(printedNumbers(r), (std::vector<std::string>{"5", "4", "3", "1"}));
    EXPECT_EQ(t.RecNo(), 1u);
    EXPECT_EQ(r.pages[0].bands[0].cells[0].text, "ЗЕНТ-5  № 777");
    t.setIndexName("");
    t.DeleteIndex("tab1");
    t.Close();
}

struct ToolRun {
    int code = -1;
    std::string err;
};

// The tool as a user starts it, under the given locale when one is named.
ToolRun runTool(const QStringList& args, const char* locale = nullptr)
{
    QProcess p;
    // Without a display the tool must find its own way to fonts and painting.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    if (locale)
        env.insert("LC_ALL", QString::fromLatin1(locale));
    p.setProcessEnvironment(env);
    p.start(kTool, args);
    ToolRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

TEST_F(ReportOfATable, ToolWritesTheReportAsPdf)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    const QString table = QString::fromStdString(createTable(31)); // 30 visible rows
    struct Case {
        QStringList options;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {{}, {"P, кН", ", МПа", "42,30", "436,0"}},
        {{"--units", "kn"}, {"P, кН", "кв.мм."}},
        {{"--units", "kgf"}, {"P, кГс", ", кГс/кв.см", "1258", "4446"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const QString pdf = m_dir.filePath("out.pdf");
        const ToolRun run = runTool(QStringList{"report"} + c.options + QStringList{table, pdf});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_NE(testing::pdfInfo(pdf).find("Pages:           3"), std::string::npos);
        const auto pages = testing::pdfPages(pdf);
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_TRUE(std::regex_search(pages[0], std::regex("ЗЕНТ-5 +№ 501"))) << pages[0];
        for (const auto& text : c.expected)
            EXPECT_NE(pages[0].find(text), std::string::npos) << text << "\n" << pages[0];
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(pages[size_t(i)].find("Стр. " + std::to_string(i + 1) + " из 3"), std::string::npos);
        EXPECT_NE(pages[2].find("ряд 31"), std::string::npos);
    }
}

// Shows the preview by printing its pages into a PDF file, as the preview's
// own print button would.
class PreviewIntoPdf : public PrintPlatform {
public:
    explicit PreviewIntoPdf(QString file) : m_file(std::move(file)) {}
    bool printerInstalled() const override { return true; }
    void runPreview(QPrintPreviewDialog& dialog) override
    {
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(m_file);
        if (auto* widget = dialog.findChild<QPrintPreviewWidget*>())
            widget->print();
    }
    bool runPrintDialog(QPrintDialog&) override { return false; }

private:
    QString m_file;
};

// The words of the first line of `text` that holds `part`.
std::vector<std::string> wordsOfLineWith(const std::string& text, const std::string& part)
{
    const size_t at = text.find(part);
    if (at == std::string::npos)
        return {};
    const size_t begin = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    const std::string line = text.substr(begin, text.find('\n', at) - begin);
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
        const size_t end = std::min(line.find(' ', i), line.size());
        if (end > i)
            words.push_back(line.substr(i, end - i));
        i = end + 1;
    }
    return words;
}

// Every value of a row, as the report of a Russian, a plain and a German
// system prints it: plain numbers with the system's separator, the two
// patterns always with a comma; the preview shows the same.
TEST_F(ReportOfATable, EveryValuePrintsAsTheSystemWritesNumbers)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    const QString table = QString::fromStdString(writeTable("values.db", 30, [](int) {
        return Values{{"SERIAL", 4242.0}, {"P", 5.0},   {"P_KG", 510.0}, {"S", 250.0},
                      {"S_KG", 2549.0},   {"F", 28.3},  {"D", 9.6},      {"F_MM", 0.283}};
    }));
    using Words = std::vector<std::string>;
    for (const auto& [locale, separator] : testing::kLocaleSeparators) {
        SCOPED_TRACE(locale);
        const std::string point(1, separator);
        const struct {
            const char* units; // as --units names them
            Units dimension;
            Words row12;
        } layouts[] = {
            {"kn", Units::KiloNewton,
             {"12", "07.03.2014", "09:05:07", "проволока", "9" + point + "6", "5,00", "250,0", "28" + point + "3", "ряд",
              "12"}},
            {"kgf", Units::KiloGramForce,
             {"12", "07.03.2014", "09:05:07", "проволока", "9" + point + "6", "510", "2549", "0" + point + "283", "ряд",
              "12"}},
        };
        for (const auto& layout : layouts) {
            SCOPED_TRACE(layout.units);
            const QString pdf = m_dir.filePath("tool.pdf");
            const ToolRun run =
                runTool({"report", "--units", layout.units, table, pdf}, locale);
            ASSERT_EQ(run.code, 0) << run.err;
            const auto pages = testing::splitPages(testing::pdfLayoutText(pdf));
            ASSERT_EQ(pages.size(), 3u);
            EXPECT_EQ(wordsOfLineWith(pages[0], "ЗЕНТ-5"), (Words{"ЗЕНТ-5", "№", "4242"}));
            EXPECT_EQ(wordsOfLineWith(pages[0], "ряд 12"), layout.row12) << pages[0];

            // The preview of the same table under the same locale.
            const testing::ProgramLocale scoped(locale);
            ASSERT_TRUE(scoped.ok()) << "locale not installed";
            const QString shown = m_dir.filePath("preview.pdf");
            PreviewIntoPdf platform(shown);
            ReportCommands commands(&platform);
            DbfTable opened;
            pointAt(opened, "values.db");
            opened.Open();
            commands.preview(&opened, layout.dimension, nullptr);
            opened.Close();
            const auto previewPages = testing::splitPages(testing::pdfLayoutText(shown));
            ASSERT_EQ(previewPages.size(), 3u);
            EXPECT_EQ(wordsOfLineWith(previewPages[0], "ЗЕНТ-5"), (Words{"ЗЕНТ-5", "№", "4242"}));
            EXPECT_EQ(wordsOfLineWith(previewPages[0], "ряд 12"), layout.row12) << previewPages[0];
        }
    }
}

TEST_F(ReportOfATable, ToolExitCodes)
{
    const QString table = QString::fromStdString(createTable(1));
    const QString pdf = m_dir.filePath("out.pdf");
    struct Case {
        const char* name;
        QStringList args;
        int code;
    };
    const Case cases[] = {
        {"no files", {"report"}, 2},
        {"one file", {"report", table}, 2},
        {"three files", {"report", table, pdf, pdf}, 2},
        {"unknown units", {"report", "--units", "mpa", table, pdf}, 2},
        {"units without a value", {"report", table, pdf, "--units"}, 2},
        {"unknown option", {"report", "--sorted", table, pdf}, 2},
        {"missing table", {"report", m_dir.filePath("none.db"), pdf}, 1},
        {"unwritable report", {"report", table, m_dir.filePath("no/such/folder/out.pdf")}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.code, c.code) << run.err;
        if (c.code == 1) {
            EXPECT_FALSE(run.err.empty());
        }
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
} // namespace zent5
