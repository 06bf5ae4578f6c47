// The report written into its PDF file page by page, as the command-line
// tool writes it.
#include "print/reportpdfwriter.h"

#include "common/memorycursor.h"
#include "pdftools.h"
#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportrenderer.h"
#include "records/error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace zent5 {
namespace {

using testing::MemoryCursor;

MemoryCursor tableOf(int rows)
{
    MemoryCursor t;
    for (int i = 1; i <= rows; ++i) {
        t.rows.push_back({{"N", double(i)},
                          {"DATE", std::string("07.03.2014")},
                          {"TIME", std::string("09:05:07")},
                          {"SERIAL", 4321.0},
                          {"P", 12.3 + i},
                          {"P_KG", 1254.0},
                          {"S", 436.0},
                          {"S_KG", 4446.0},
                          {"F", 28.3},
                          {"D", 6.0},
                          {"TYPE", std::string("проволока")},
                          {"COMMENT", std::string(i % 7 == 1 ? "примечание к ряду, длиннее одной строки ячейки "
                                                               "примечания, переносится по словам"
                                                             : "")},
                          {"F_MM", 0.283}});
    }
    return t;
}

// A table that fails to move on after `okNexts` steps, counted over both walks.
class FailingCursor : public MemoryCursor {
public:
    int okNexts = 0;
    void Next() override
    {
        if (okNexts-- == 0)
            throw Error("Ошибка чтения файла");
        MemoryCursor::Next();
    }
};

std::string contentOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(missing)";
    return f.readAll().toStdString();
}

class ReportPdfWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QTemporaryDir m_dir;
};

TEST_F(ReportPdfWriterTest, PageByPageGivesTheFileOfTheWholeReport)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) not installed";
    struct Case {
        Units dimension;
        int rows;
        const char* pages;
    };
    const Case cases[] = {{Units::KiloNewton, 0, "1"}, {Units::KiloNewton, 30, "3"}, {Units::KiloGramForce, 45, "4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE((c.dimension == Units::KiloGramForce ? "kgf, " : "kN, ") + std::to_string(c.rows) + " rows");
        MemoryCursor table = tableOf(c.rows);
        ReportComposer composer(reportLayoutFor(c.dimension));
        composer.setDecimalSeparator(',');
        const QString whole = m_dir.filePath("whole.pdf");
        const QString paged = m_dir.filePath("paged.pdf");
        writeReportPdf(composer.compose(table), whole.toStdString());
        writeReportPdf(composer, table, paged.toStdString());

        const std::string info = testing::pdfInfo(paged);
        EXPECT_NE(info.find(std::string("Pages:           ") + c.pages + "\n"), std::string::npos) << info;
        EXPECT_NE(info.find("Title:           " + reportLayoutFor(c.dimension).name), std::string::npos) << info;
        const std::string layout = testing::runTool("pdftotext", {"-layout", "-enc", "UTF-8", paged, "-"});
        EXPECT_NE(layout.find("Стр. 1 из"), std::string::npos) << layout;
        EXPECT_EQ(layout, testing::runTool("pdftotext", {"-layout", "-enc", "UTF-8", whole, "-"}));
        EXPECT_EQ(QFile(paged).size(), QFile(whole).size());
    }
}

TEST_F(ReportPdfWriterTest, TableErrorsPassThroughAndLeaveTheOldFile)
{
    struct Case {
        const char* name;
        int okNexts;
    };
    // 30 rows: the first walk counts them, the second fills pages of 12, 14 and 4 rows.
    const Case cases[] = {
        {"while counting the pages", 10},
        {"before the first page is complete", 35},
        {"on the second page", 45},
        {"on the last page", 58},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_dir.filePath("report.pdf");
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
            old.write("the report of before");
        }
        FailingCursor table;
        table.rows = tableOf(30).rows;
        table.okNexts = c.okNexts;
        ReportComposer composer(report1Layout());
        try {
            writeReportPdf(composer, table, path.toStdString());
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Ошибка чтения файла");
        }
        EXPECT_EQ(contentOf(path), "the report of before");
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"report.pdf"}) << "an unfinished file was left";
    }
}

TEST_F(ReportPdfWriterTest, UncreatableFileIsAnErrorWithItsName)
{
    MemoryCursor table = tableOf(3);
    ReportComposer composer(report1Layout());
    const std::string path = m_dir.filePath("no/such/folder/report.pdf").toStdString();
    try {
        writeReportPdf(composer, table, path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Не удаётся создать файл " + path);
    }
}

TEST_F(ReportPdfWriterTest, WriterLeftUnfinishedLeavesNothing)
{
    MemoryCursor table = tableOf(3);
    const ComposedReport report = ReportComposer(report1Layout()).compose(table);
    const QString path = m_dir.filePath("report.pdf");
    {
        ReportPdfWriter writer(path.toStdString());
        writer.begin(report);
        writer.addPage(report.pages.at(0));
        EXPECT_FALSE(QFile::exists(path)); // only a complete report takes the name
    }
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{});

    ReportPdfWriter writer(path.toStdString());
    writer.begin(report);
    writer.addPage(report.pages.at(0));
    writer.finish();
    EXPECT_EQ(contentOf(path).substr(0, 5), "%PDF-");
}

} // namespace
} // namespace zent5
