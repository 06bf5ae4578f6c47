#include "commands.h"
#include "toolargs.h"

#include "records/csv.h"
#include "records/error.h"
#include "table/dbfformat.h"
#include "table/dbftable.h"

#include <cstdio>
#include <string>

namespace zent5::tool {
namespace {

std::string cellText(const FieldValue& v)
{
    if (const double* d = std::get_if<double>(&v))
        return dbf::shortestText(*d, '.');
    if (const std::string* s = std::get_if<std::string>(&v))
        return *s;
    return {};
}

} // namespace

// zent5-tool rows TABLE.db: the visible rows in file order as UTF-8 CSV,
// first the field names in the table's column order.
int runRows(const std::vector<std::string>& args)
{
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fputs("usage: zent5-tool rows TABLE.db\n", stderr);
        return 2;
    }
    DbfTable table;
    pointAtFileForReading(table, args[0]);
    try {
        table.Open();
        std::string out;
        const auto& columns = table.Columns();
        for (size_t i = 0; i < columns.size(); ++i)
            out += (i ? "," : "") + csvField(columns[i].name);
        out += '\n';
        for (uint32_t recNo : table.ViewOrder()) {
            for (size_t i = 0; i < columns.size(); ++i)
                out += (i ? "," : "") + csvField(cellText(table.ReadField(recNo, columns[i].name)));
            out += '\n';
            if (out.size() > (1 << 16)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        table.Close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace zent5::tool
