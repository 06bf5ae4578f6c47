#include "commands.h"

#include "export/excelexport.h"
#include "records/error.h"
#include "table/dbftable.h"

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
    bool kgf = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--units") {
            if (i + 1 >= args.size())
                return usage();
            const std::string& units = args[++i];
            if (units == "kn")
                kgf = false;
            else if (units == "kgf")
                kgf = true;
            else
                return usage();
        } else if (args[i].empty() || args[i][0] == '-') {
            return usage();
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        return usage();

    const std::string& file = files[0];
    const size_t slash = file.rfind('/');
    DbfTable table;
    table.setFilePath(slash == std::string::npos ? std::string() : file.substr(0, slash + 1));
    table.setTableName(slash == std::string::npos ? file : file.substr(slash + 1));
    // Only reading: the table file is left exactly as it was.
    table.setExclusive(false);
    try {
        table.Open();
        writeMeasurementWorkbook(table, kgf, files[1]);
        table.Close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "Экспорт в Excel: %s\n", exportDoneText(files[1]).c_str());
    return 0;
}

} // namespace zent5::tool
