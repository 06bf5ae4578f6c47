#pragma once

#include "pagemodel.h"

#include <memory>

class QPrinter;
class QWidget;

namespace zent5 {

class PrintPlatform;
class RowCursor;

// The report commands of the main window: one object for the program's run,
// keeping the pages each layout composed last. `dimension` chooses the
// layout (kgf when true). Every command does nothing when `table` is null or
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
    void preview(RowCursor* table, bool dimension, QWidget* parent);

    // "Печать" in the menu (N9Click): composes, then the print sequence:
    // nothing when no printer is installed, otherwise the print dialog
    // (printer, page range, copies, collation) and printing.
    void print(RowCursor* table, bool dimension, QWidget* parent);

    // "Печать" in the grid's pop-up menu (N22Click): the print sequence for
    // the pages this layout composed last; composes first only when it has
    // composed nothing yet in this run.
    void printLastComposed(RowCursor* table, bool dimension, QWidget* parent);

    // The pages a layout composed last, or null.
    const ComposedReport* lastComposed(bool dimension) const;

    // The preview window and the print sequence of the commands above, for
    // pages composed elsewhere.
    void showPreview(const ComposedReport& report, QWidget* parent);
    void printSequence(const ComposedReport& report, QWidget* parent);

private:
    const ComposedReport& compose(RowCursor& table, bool dimension);

    std::unique_ptr<PrintPlatform> m_ownPlatform;
    PrintPlatform* m_platform;
    std::unique_ptr<ComposedReport> m_composed[2]; // kN / MPa, kgf
};

// Paints the report onto a printer as its print settings ask: page range
// (`currentPage` for "current page"), copies and collation.
void printReport(const ComposedReport& report, QPrinter& printer, int currentPage = 1);

} // namespace zent5
