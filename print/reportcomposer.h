#pragma once

#include "pagemodel.h"
#include "reportlayout.h"

#include <functional>

namespace zent5 {

class RowCursor;
class TextMeasurer;

// Composes a report from a layout and the table: the title on the first
// page, the page header on every page, one data band per row from the
// table's first row to its end in the table's current order, and the page
// footer at the bottom margin of every page. It walks the table twice, first
// only to count the pages for [TOTALPAGES], and leaves it on its last row.
// Errors of the table (zent5::Error) pass through. Needs a running
// QGuiApplication for the font metrics.
class ReportComposer {
public:
    explicit ReportComposer(const ReportLayout& layout);

    ComposedReport compose(RowCursor& table);
    ComposedReport compose(RowCursor& table, TextMeasurer& measurer);

    // Receives every page as soon as it is complete, in order, together with
    // the report it belongs to (its styles and paper; its pages stay empty).
    using PageSink = std::function<void(const ComposedReport& report, Page& page)>;
    // As above, but hands the pages to `sink` instead of keeping them, so that
    // only one page is held at a time; the report returned has no pages.
    // Errors the sink throws pass through and end the walk.
    ComposedReport compose(RowCursor& table, TextMeasurer& measurer, const PageSink& sink);

    // Decimal separator of plain numbers; the platform's unless set.
    void setDecimalSeparator(char separator) { m_separator = separator; }

private:
    ReportLayout m_layout;
    char m_separator = 0;
};

} // namespace zent5
