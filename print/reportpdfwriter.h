#pragma once

#include "pagemodel.h"

#include <memory>
#include <string>

namespace zent5 {

class ReportComposer;
class RowCursor;

// Writes a report into a PDF file one page at a time, so that a long report
// need not be held whole: begin() with the report (its name, paper and
// styles; its pages are not read), addPage() for every page in order, then
// finish(). Throws zent5::Error when the file cannot be created or written.
// The report is written beside the target under another name and takes the
// target's name at finish(); one begun but not finished, by an error here or
// the caller's, is dropped when the writer goes, and an older file of the
// target's name stays as it was.
class ReportPdfWriter {
public:
    explicit ReportPdfWriter(std::string path, int dotsPerInch = 1200);
    ~ReportPdfWriter();
    ReportPdfWriter(const ReportPdfWriter&) = delete;
    ReportPdfWriter& operator=(const ReportPdfWriter&) = delete;

    // Creates the file.
    void begin(const ComposedReport& report);
    bool begun() const { return m_open != nullptr; }
    // Paints the page onto a page of its own.
    void addPage(const Page& page);
    // Completes the file; a writer never begun writes one blank page of the
    // default paper.
    void finish();

private:
    struct Open;

    const std::string m_path;
    const int m_dotsPerInch;
    std::unique_ptr<Open> m_open;
};

// Composes the report of `table` straight into a PDF file, painting every
// page as soon as it is composed and dropping it after. On any error the
// file at `path` stays as it was.
void writeReportPdf(ReportComposer& composer, RowCursor& table, const std::string& path, int dotsPerInch = 1200);

} // namespace zent5
