#pragma once

#include "pagemodel.h"
#include "records/units.h"

#include <memory>

class QPrinter;
class QWidget;

namespace zent5 {

class PrintPlatform;
class RowCursor;

// The report commands of the main window: one object for the program's run,
// keeping the pages each layout composed last. `units` chooses the
// layout. Every command does nothing when `table` is null or
// not active. Errors of the table while composing (zent5::Error) reach the
// caller before anything is shown or printed; the pages composed before stay.
// Composing leaves the table on its last row.
class ReportCommands {
public:
    // `platform` answers for the printers and the modal windows; the real
    // platform when null. It must outlive this object.
    explicit ReportCommands(PrintPlatform* platform = nullptr);
    ~ReportCommands();
    ReportCommands(const ReportCommands&) = delete;
    ReportCommands& operator=(const ReportCommands&) = delete;

    // "Предварительный просмотр" (N8Click): composes and shows the pages in
    // the modal preview window (zoom, page width, whole page, two pages,
    // page moves, print, close).
    void preview(RowCursor* table, Units units, QWidget* parent);

    // "Печать" in the menu (N9Click): composes, then the print sequence:
    // nothing when no printer is installed, otherwise the print dialog
    // (printer, page range, copies, collation) and printing.
    void print(RowCursor* table, Units units, QWidget* parent);

    // "Печать" in the grid's pop-up menu (N22Click): the print sequence for
    // the pages this layout composed last; composes first only when it has
    // composed nothing yet in this run.
    void printLastComposed(RowCursor* table, Units units, QWidget* parent);

    // The pages a layout composed last, or null.
    const ComposedReport* lastComposed(Units units) const;

    // The preview window and the print sequence of the commands above, for
    // pages composed elsewhere.
    void showPreview(const ComposedReport& report, QWidget* parent);
    void printSequence(const ComposedReport& report, QWidget* parent);

private:
    const ComposedReport& compose(RowCursor& table, Units units);

    std::unique_ptr<PrintPlatform> m_ownPlatform;
    PrintPlatform* m_platform;
    // The pages last composed in each system of units.
    std::unique_ptr<ComposedReport>& composedIn(Units units);
    std::unique_ptr<ComposedReport> m_composedKiloNewton;
    std::unique_ptr<ComposedReport> m_composedKiloGramForce;
};

// Paints the report onto a printer as its print settings ask: page range
// (`currentPage` for "current page"), copies and collation.
void printReport(const ComposedReport& report, QPrinter& printer, int currentPage = 1);

} // namespace zent5
