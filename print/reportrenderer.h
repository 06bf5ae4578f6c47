#pragma once

#include "pagemodel.h"

#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace zent5 {

// Paints composed pages with QPainter: onto a PDF file, a printer or the
// preview. The painter's origin must be the paper's top left corner (a page
// layout without margins, or a printer in full-page mode).
class ReportRenderer {
public:
    explicit ReportRenderer(const ComposedReport& report);

    // The report's paper and orientation, and no margins.
    static void setUpPage(QPagedPaintDevice& device, const PageSetup& page);

    // Paints one page at `pixelsPerUnitX/Y` device pixels per report unit.
    void paintPage(QPainter& painter, const Page& page, double pixelsPerUnitX, double pixelsPerUnitY) const;

    // Paints the pages with the given numbers (from 1, in the given order),
    // one per device page, with a painter opened on `device`. Numbers out of
    // range are skipped. False when the device cannot be painted on.
    bool paint(QPagedPaintDevice& device, const std::vector<int>& pageNumbers) const;
    // As above, with a painter already open on the device.
    void paint(QPainter& painter, QPagedPaintDevice& device, const std::vector<int>& pageNumbers) const;

    // Every page number of the report, in order.
    std::vector<int> allPages() const;

private:
    const ComposedReport& m_report;
};

// Writes every page of the report into a PDF file at `dotsPerInch`.
// Throws zent5::Error when the file cannot be written. A report too long to
// hold whole goes page by page through ReportPdfWriter.
void writeReportPdf(const ComposedReport& report, const std::string& path, int dotsPerInch = 1200);

} // namespace zent5
