#include "commands.h"
#include "toolargs.h"

#include "records/csv.h"
#include "records/error.h"
#include "table/dbfformat.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <optional>
#include <string>

namespace zent5::tool {
namespace {

const char kUsage[] = "usage: zent5-tool rows [--sort FIELD[:desc]] TABLE.db\n";

struct RowsOptions {
    std::string table;
    std::optional<std::string> sortField;
    SortOrder order = SortOrder::Ascending;
};

int usageError(const std::string& what) { return tool::usageError("rows", what, kUsage); }

// Empty on success, otherwise what is wrong with the arguments.
std::string parseArguments(const std::vector<std::string>& args, RowsOptions& options)
{
    const CommandArguments split = splitArguments(args);
    for (const CommandArguments::Option& option : split.options) {
        if (option.name != "--sort")
            return "unknown option " + option.given;
        std::string field = option.value.value_or(std::string());
        options.order = SortOrder::Ascending;
        if (const size_t colon = field.find(':'); colon != std::string::npos) {
            if (field.substr(colon + 1) != "desc")
                return "--sort takes FIELD or FIELD:desc";
            field.erase(colon);
            options.order = SortOrder::Descending;
        }
        if (field.empty())
            return "--sort needs a field";
        options.sortField = field;
    }
    if (const std::string problem = oneTableProblem(split.files); !problem.empty())
        return problem;
    options.table = split.files[0];
    return {};
}

std::string cellText(const FieldValue& v)
{
    if (const double* d = std::get_if<double>(&v))
        return dbf::shortestText(*d, '.');
    if (const std::string* s = std::get_if<std::string>(&v))
        return *s;
    return {};
}

} // namespace

// zent5-tool rows [--sort FIELD[:desc]] TABLE.db: the visible rows as UTF-8
// CSV, first the field names in the table's column order; in file order,
// or in the order of the window's sorted view. The file is left exactly as
// it was: the sort is made on a copy.
int runRows(const std::vector<std::string>& args)
{
    RowsOptions options;
    if (const std::string wrong = parseArguments(args, options); !wrong.empty())
        return usageError(wrong);
    ToolTables tables;
    TableSession& session = tables.session();
    try {
        if (options.sortField)
            session.openCopy(options.table);
        else
            session.openForReading(options.table);
        DbfTable& table = session.table();
        const auto& columns = table.Columns();
        if (options.sortField) {
            // A field the table does not have is a wrong argument; the sort
            // itself would only leave the rows in file order.
            try {
                table.ReadField(0, *options.sortField);
            } catch (const Error& e) {
                session.close();
                return usageError(e.what());
            }
            session.sortBy(*options.sortField, options.order);
        }
        std::string out;
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
        session.close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace zent5::tool
