#include "reportcommands.h"

#include "printplatform.h"
#include "printselection.h"
#include "records/rowcursor.h"
#include "reportcomposer.h"
#include "reportlayout.h"
#include "reportrenderer.h"

#include <QAction>
#include <QGuiApplication>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace zent5 {
namespace {

bool usable(RowCursor* table) { return table && table->Active(); }

// The preview dialog's own print action: the one whose trigger runs the
// dialog's printing. Found by that connection, not by its caption, which
// the translations change and which the toolkit may word anew.
QAction* previewPrintAction(QPrintPreviewDialog& dialog)
{
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (QObject::disconnect(action, SIGNAL(triggered(bool)), &dialog, SLOT(_q_print()))) {
            QObject::connect(action, SIGNAL(triggered(bool)), &dialog, SLOT(_q_print()));
            return action;
        }
    }
    return nullptr;
}

void preparePrinter(QPrinter& printer, const ComposedReport& report)
{
    // Positions are measured from the paper's edge, as the layouts give them.
    printer.setFullPage(true);
    ReportRenderer::setUpPage(printer, report.page);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    printer.setDocName(QString::fromStdString(report.layoutName));
}

} // namespace

void printReport(const ComposedReport& report, QPrinter& printer, int currentPage)
{
    PrintRequest request;
    switch (printer.printRange()) {
    case QPrinter::PageRange: {
        request.range = PrintRequest::Pages;
        const QPageRanges ranges = printer.pageRanges();
        if (ranges.isEmpty()) {
            request.pages.emplace_back(printer.fromPage(), printer.toPage());
        } else {
            for (const QPageRanges::Range& r : ranges.toRangeList())
                request.pages.emplace_back(r.from, r.to);
        }
        break;
    }
    case QPrinter::CurrentPage:
        request.range = PrintRequest::CurrentPage;
        request.currentPage = currentPage;
        break;
    default:
        request.range = PrintRequest::AllPages;
        break;
    }
    request.copies = printer.copyCount();
    request.collate = printer.collateCopies();
    request.deviceMakesCopies = printer.supportsMultipleCopies();
    const std::vector<int> pages = pagesToPrint(request, int(report.pages.size()));
    if (pages.empty())
        return;
    ReportRenderer(report).paint(printer, pages);
}

ReportCommands::ReportCommands(PrintPlatform* platform)
{
    if (!platform) {
        m_ownPlatform = std::make_unique<PrintPlatform>();
        platform = m_ownPlatform.get();
    }
    m_platform = platform;
}

ReportCommands::~ReportCommands() = default;

std::unique_ptr<ComposedReport>& ReportCommands::composedIn(Units units)
{
    return units == Units::KiloGramForce ? m_composedKiloGramForce : m_composedKiloNewton;
}

const ComposedReport* ReportCommands::lastComposed(Units units) const
{
    return (units == Units::KiloGramForce ? m_composedKiloGramForce : m_composedKiloNewton).get();
}

const ComposedReport& ReportCommands::compose(RowCursor& table, Units units)
{
    auto report = std::make_unique<ComposedReport>(ReportComposer(reportLayoutFor(units)).compose(table));
    composedIn(units) = std::move(report);
    return *composedIn(units);
}

void ReportCommands::preview(RowCursor* table, Units units, QWidget* parent)
{
    if (!usable(table))
        return;
    showPreview(compose(*table, units), parent);
}

void ReportCommands::showPreview(const ComposedReport& report, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    // A landscape page is read at the width of the screen: the preview
    // takes the whole screen, also where no window manager maximizes it,
    // with the page fitted to its width (through the dialog's own action,
    // so its buttons show the mode).
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.setGeometry(screen->availableGeometry());
    dialog.setWindowState(Qt::WindowMaximized);
    auto* widget = dialog.findChild<QPrintPreviewWidget*>();
    if (QAction* fitWidth = dialog.findChild<QAction*>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
    else if (widget)
        widget->fitToWidth();
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&report, widget](QPrinter* p) {
        printReport(report, *p, widget ? widget->currentPage() : 1);
    });

    // Printing from the preview obeys the same rule as the print command.
    if (!m_platform->printerInstalled())
        if (QAction* print = previewPrintAction(dialog))
            print->setEnabled(false);
    if (auto* toolBar = dialog.findChild<QToolBar*>()) {
        toolBar->addSeparator();
        QAction* close = toolBar->addAction(QStringLiteral("Закрыть"));
        close->setObjectName(QStringLiteral("closePreview"));
        QObject::connect(close, &QAction::triggered, &dialog, &QDialog::reject);
    }
    m_platform->runPreview(dialog);
}

void ReportCommands::print(RowCursor* table, Units units, QWidget* parent)
{
    if (!usable(table))
        return;
    printSequence(compose(*table, units), parent);
}

void ReportCommands::printLastComposed(RowCursor* table, Units units, QWidget* parent)
{
    if (!usable(table))
        return;
    const ComposedReport* report = lastComposed(units);
    if (!report)
        report = &compose(*table, units);
    printSequence(*report, parent);
}

void ReportCommands::printSequence(const ComposedReport& report, QWidget* parent)
{
    if (!m_platform->printerInstalled())
        return;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report);
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, int(report.pages.size()));
    if (!m_platform->runPrintDialog(dialog))
        return;
    printReport(report, printer, 1);
}

} // namespace zent5
