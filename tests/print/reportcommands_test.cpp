#include "print/reportcommands.h"

#include "common/memorycursor.h"
#include "pdftools.h"
#include "print/printplatform.h"
#include "records/error.h"

#include <QAction>
#include <QPageLayout>
#include <QPageRanges>
#include <QPrintDialog>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace zent5 {
namespace {

using testing::MemoryCursor;

MemoryCursor tableOf(int rows)
{
    MemoryCursor t;
    for (int i = 1; i <= rows; ++i)
        t.rows.push_back({{"N", double(i)}, {"SERIAL", 55.0}, {"P", 1.0}});
    return t;
}

class FakePlatform : public PrintPlatform {
public:
    bool printer = true;
    int previews = 0;
    int dialogs = 0;
    std::function<void(QPrintPreviewDialog&)> onPreview;
    std::function<bool(QPrintDialog&)> onPrint;

    bool printerInstalled() const override { return printer; }
    void runPreview(QPrintPreviewDialog& dialog) override
    {
        ++previews;
        if (onPreview)
            onPreview(dialog);
    }
    bool runPrintDialog(QPrintDialog& dialog) override
    {
        ++dialogs;
        return onPrint ? onPrint(dialog) : false;
    }
};

// Answers the print dialog by printing into a PDF file.
std::function<bool(QPrintDialog&)> printToPdf(const QString& path, std::function<void(QPrinter&)> choose = {})
{
    return [path, choose](QPrintDialog& dialog) {
        QPrinter* printer = dialog.printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        if (choose)
            choose(*printer);
        return true;
    };
}

class ReportCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString pdf(const char* name) const { return m_dir.filePath(name); }

    FakePlatform m_platform;
    ReportCommands m_commands{&m_platform};
    QTemporaryDir m_dir;
};

TEST_F(ReportCommandsTest, NothingHappensWithoutAnActiveTable)
{
    MemoryCursor inactive = tableOf(3);
    inactive.active = false;
    for (RowCursor* table : {static_cast<RowCursor*>(nullptr), static_cast<RowCursor*>(&inactive)}) {
        m_commands.preview(table, Units::KiloNewton, nullptr);
        m_commands.print(table, Units::KiloNewton, nullptr);
        m_commands.printLastComposed(table, Units::KiloGramForce, nullptr);
    }
    EXPECT_EQ(m_platform.previews, 0);
    EXPECT_EQ(m_platform.dialogs, 0);
    EXPECT_EQ(m_commands.lastComposed(Units::KiloNewton), nullptr);
    EXPECT_EQ(m_commands.lastComposed(Units::KiloGramForce), nullptr);
}

TEST_F(ReportCommandsTest, WithoutAPrinterThePrintCommandsDoNothing)
{
    m_platform.printer = false;
    MemoryCursor table = tableOf(3);
    m_commands.print(&table, Units::KiloNewton, nullptr);
    m_commands.printLastComposed(&table, Units::KiloNewton, nullptr);
    EXPECT_EQ(m_platform.dialogs, 0);
    // Composing still happened and left the table on its last row.
    ASSERT_NE(m_commands.lastComposed(Units::KiloNewton), nullptr);
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(std::get<double>(table.FieldValueOf("N")), 3.0);
}

TEST_F(ReportCommandsTest, DimensionChoosesTheLayout)
{
    MemoryCursor table = tableOf(1);
    m_commands.print(&table, Units::KiloNewton, nullptr);
    m_commands.print(&table, Units::KiloGramForce, nullptr);
    ASSERT_NE(m_commands.lastComposed(Units::KiloNewton), nullptr);
    ASSERT_NE(m_commands.lastComposed(Units::KiloGramForce), nullptr);
    EXPECT_EQ(m_commands.lastComposed(Units::KiloNewton)->layoutName, "Report1");
    EXPECT_EQ(m_commands.lastComposed(Units::KiloGramForce)->layoutName, "Report2");
}

TEST_F(ReportCommandsTest, PrintDialogOffersThePagesAndPrintsTheChosenOnes)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    MemoryCursor table = tableOf(30); // 3 pages
    struct Case {
        const char* name;
        std::function<void(QPrinter&)> choose;
        std::vector<std::string> footers; // of the printed pages, in order
    };
    const Case cases[] = {
        {"all pages", {}, {"Стр. 1 из 3", "Стр. 2 из 3", "Стр. 3 из 3"}},
        {"pages 1,3",
         [](QPrinter& p) {
             QPageRanges ranges;
             ranges.addPage(1);
             ranges.addPage(3);
             p.setPrintRange(QPrinter::PageRange);
             p.setPageRanges(ranges);
         },
         {"Стр. 1 из 3", "Стр. 3 из 3"}},
        {"current page", [](QPrinter& p) { p.setPrintRange(QPrinter::CurrentPage); }, {"Стр. 1 из 3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = pdf("printed.pdf");
        int minPage = 0, maxPage = 0;
        QPageLayout layout;
        m_platform.onPrint = [&](QPrintDialog& dialog) {
            minPage = dialog.minPage();
            maxPage = dialog.maxPage();
            layout = dialog.printer()->pageLayout();
            return printToPdf(file, c.choose)(dialog);
        };
        m_commands.print(&table, Units::KiloNewton, nullptr);
        EXPECT_EQ(minPage, 1);
        EXPECT_EQ(maxPage, 3);
        EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
        EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
        const auto pages = testing::pdfPages(file);
        ASSERT_EQ(pages.size(), c.footers.size());
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_NE(pages[i].find(c.footers[i]), std::string::npos) << pages[i];
    }
}

TEST_F(ReportCommandsTest, CopiesAndCollation)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    MemoryCursor table = tableOf(13); // 2 pages
    for (bool collate : {true, false}) {
        SCOPED_TRACE(collate ? "collated" : "uncollated");
        const QString file = pdf("copies.pdf");
        bool printerCopies = false;
        m_platform.onPrint = printToPdf(file, [&](QPrinter& p) {
            p.setCopyCount(2);
            p.setCollateCopies(collate);
            printerCopies = p.supportsMultipleCopies();
        });
        m_commands.print(&table, Units::KiloNewton, nullptr);
        std::vector<std::string> order;
        for (const auto& page : testing::pdfPages(file))
            order.push_back(page.find("Стр. 1 из 2") != std::string::npos ? "1" : "2");
        if (printerCopies)
            EXPECT_EQ(order, (std::vector<std::string>{"1", "2"}));
        else if (collate)
            EXPECT_EQ(order, (std::vector<std::string>{"1", "2", "1", "2"}));
        else
            EXPECT_EQ(order, (std::vector<std::string>{"1", "1", "2", "2"}));
    }
}

TEST_F(ReportCommandsTest, CancelledPrintDialogPrintsNothing)
{
    MemoryCursor table = tableOf(2);
    m_platform.onPrint = [](QPrintDialog& dialog) {
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        return false;
    };
    m_commands.print(&table, Units::KiloNewton, nullptr);
    EXPECT_EQ(m_platform.dialogs, 1);
}

TEST_F(ReportCommandsTest, PreviewShowsTheComposedPages)
{
    MemoryCursor table = tableOf(30);
    for (bool printer : {true, false}) {
        SCOPED_TRACE(printer ? "with a printer" : "without a printer");
        m_platform.printer = printer;
        int previewPages = -1;
        bool printEnabled = true;
        bool closeOffered = false;
        m_platform.onPreview = [&](QPrintPreviewDialog& dialog) {
            auto* widget = dialog.findChild<QPrintPreviewWidget*>();
            ASSERT_NE(widget, nullptr);
            widget->updatePreview();
            previewPages = widget->pageCount();
            // Shown for real: maximized over the whole screen, the page at its width.
            dialog.show();
            QCoreApplication::processEvents();
            EXPECT_TRUE(dialog.windowState().testFlag(Qt::WindowMaximized));
            EXPECT_EQ(dialog.frameGeometry().size(), QGuiApplication::primaryScreen()->availableGeometry().size());
            EXPECT_EQ(widget->zoomMode(), QPrintPreviewWidget::FitToWidth);
            auto* fitWidth = dialog.findChild<QAction*>(QStringLiteral("fitWidthAction"));
            ASSERT_NE(fitWidth, nullptr);
            EXPECT_TRUE(fitWidth->isChecked());
            for (QAction* a : dialog.findChildren<QAction*>()) {
                if (a->text() == "Print")
                    printEnabled = a->isEnabled();
                if (a->objectName() == "closePreview") {
                    closeOffered = true;
                    a->trigger();
                }
            }
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        };
        m_commands.preview(&table, Units::KiloNewton, nullptr);
        EXPECT_EQ(previewPages, 3);
        EXPECT_EQ(printEnabled, printer);
        EXPECT_TRUE(closeOffered);
        EXPECT_TRUE(table.Eof());
    }
}

TEST_F(ReportCommandsTest, PopUpPrintUsesThePagesLastComposedInTheSameUnits)
{
    if (!testing::havePopplerTools())
        GTEST_SKIP() << "poppler-utils not installed";
    MemoryCursor table = tableOf(13); // 2 pages
    m_commands.preview(&table, Units::KiloNewton, nullptr);
    for (int i = 14; i <= 30; ++i)
        table.rows.push_back({{"N", double(i)}});

    // The kN pages of the preview print as they were, without composing again.
    const QString kn = pdf("kn.pdf");
    m_platform.onPrint = printToPdf(kn);
    m_commands.printLastComposed(&table, Units::KiloNewton, nullptr);
    EXPECT_EQ(testing::pdfPages(kn).size(), 2u);

    // Nothing composed in kgf yet: the pop-up command composes the current table.
    const QString kgf = pdf("kgf.pdf");
    m_platform.onPrint = printToPdf(kgf);
    m_commands.printLastComposed(&table, Units::KiloGramForce, nullptr);
    const auto pages = testing::pdfPages(kgf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("кГс"), std::string::npos);
}

class BrokenCursor : public MemoryCursor {
public:
    bool broken = false;
    FieldValue FieldValueOf(std::string_view column) override
    {
        if (broken)
            throw Error("Ошибка чтения файла");
        return MemoryCursor::FieldValueOf(column);
    }
};

TEST_F(ReportCommandsTest, ComposingErrorReachesTheCallerAndNothingPrints)
{
    BrokenCursor table;
    table.rows.push_back({{"N", 1.0}});
    m_commands.print(&table, Units::KiloNewton, nullptr);
    const ComposedReport* before = m_commands.lastComposed(Units::KiloNewton);
    ASSERT_NE(before, nullptr);
    const int dialogs = m_platform.dialogs;

    table.broken = true;
    EXPECT_THROW(m_commands.print(&table, Units::KiloNewton, nullptr), Error);
    EXPECT_THROW(m_commands.preview(&table, Units::KiloNewton, nullptr), Error);
    EXPECT_EQ(m_platform.dialogs, dialogs);
    EXPECT_EQ(m_platform.previews, 0);
    EXPECT_EQ(m_commands.lastComposed(Units::KiloNewton), before);
}

} // namespace
} // namespace zent5
