#include "commands.h"
#include "guiapplication.h"
#include "toolargs.h"

#include "print/reportcomposer.h"
#include "print/reportlayout.h"
#include "print/reportpdfwriter.h"
#include "records/error.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <memory>
#include <string>

namespace zent5::tool {
namespace {

int usage()
{
    std::fputs("usage: zent5-tool report [--units kn|kgf] TABLE.db REPORT.pdf\n", stderr);
    return 2;
}

} // namespace

// zent5-tool report: the printed report of a table, in the layout of the
// chosen units, as a PDF file.
int runReport(const std::vector<std::string>& args)
{
    const auto parsed = parseUnitsAndFiles(args);
    if (!parsed)
        return usage();
    const auto app = startGui();
    try {
        ToolTables tables;
        tables.session().openForReading(parsed->table);
        // Page by page: a long table's report is never held whole.
        ReportComposer composer(reportLayoutFor(parsed->units));
        writeReportPdf(composer, tables.table(), parsed->output);
        tables.session().close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace zent5::tool
