#pragma once

#include "pagemodel.h"
#include "reportlayout.h"

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

    // Decimal separator of plain numbers; the platform's unless set.
    void setDecimalSeparator(char separator) { m_separator = separator; }

private:
    ReportLayout m_layout;
    char m_separator = 0;
};

} // namespace zent5
