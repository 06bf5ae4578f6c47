#include "commands.h"
#include "toolargs.h"

#include "records/error.h"
#include "tools/tooltables.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace zent5::tool {
namespace {

const char kUsage[] = "usage: zent5-tool delete TABLE.db N...\n";

int usageError(const std::string& what) { return tool::usageError("delete", what, kUsage); }

// A row number as typed: decimal digits, nothing else.
std::optional<int64_t> rowNumber(const std::string& text)
{
    int64_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < 0)
        return std::nullopt;
    return n;
}

std::string joined(const std::vector<int64_t>& numbers)
{
    std::string text;
    for (const int64_t n : numbers)
        text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

} // namespace

// zent5-tool delete TABLE.db N...: "Удалить строки" for the rows whose N is
// one of the numbers given; the file is compacted. A number no row has is
// a wrong argument, and then nothing is deleted.
int runDelete(const std::vector<std::string>& args)
{
    if (args.size() < 2 || args[0].empty() || args[0][0] == '-')
        return usageError(args.empty() ? "no table file given" : "no row number given");
    std::vector<int64_t> numbers;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::optional<int64_t> n = rowNumber(args[i]);
        if (!n)
            return usageError("not a row number: " + args[i]);
        numbers.push_back(*n);
    }
    const std::string& file = args[0];
    ToolTables tables;
    TableSession& session = tables.session();
    try {
        // The numbers are checked on the table read as it is, so a wrong
        // one leaves the file exactly as it was.
        std::vector<int64_t> unknown;
        session.openForReading(file);
        session.rowsNumbered(numbers, unknown);
        session.close();
        if (unknown.empty()) {
            session.open(file);
            const std::vector<uint32_t> rows = session.rowsNumbered(numbers, unknown);
            if (unknown.empty())
                session.deleteRows(rows);
        }
        if (!unknown.empty()) {
            session.close();
            return usageError((unknown.size() == 1 ? "no row has N " : "no rows have N ") + joined(unknown));
        }
        return tables.finish();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace zent5::tool
