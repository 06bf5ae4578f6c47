#include "commands.h"
#include "toolargs.h"

#include "export/excelexport.h"
#include "records/error.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <string>

namespace zent5::tool {
namespace {

int usage()
{
    std::fputs("usage: zent5-tool export [--units kn|kgf] TABLE.db BOOK.xls\n", stderr);
    return 2;
}

} // namespace

// zent5-tool export: the table's visible rows in file order as a spreadsheet
// file, in the chosen units, as the window's "Экспорт в Excel" writes it.
int runExport(const std::vector<std::string>& args)
{
    const auto parsed = parseUnitsAndFiles(args);
    if (!parsed)
        return usage();
    try {
        ToolTables tables;
        tables.session().openForReading(parsed->table);
        writeMeasurementWorkbook(tables.table(), parsed->units, parsed->output);
        tables.session().close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "Экспорт в Excel: %s\n", exportDoneText(parsed->output).c_str());
    return 0;
}

} // namespace zent5::tool
