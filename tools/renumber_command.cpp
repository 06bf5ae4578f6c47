#include "commands.h"

#include "records/error.h"
#include "tools/tooltables.h"

#include <cstdio>
#include <string>

namespace zent5::tool {

// zent5-tool renumber TABLE.db: "Перенумеровать строки" on the table in
// file order: N becomes 1, 2, ... from the first row.
int runRenumber(const std::vector<std::string>& args)
{
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fputs("usage: zent5-tool renumber TABLE.db\n", stderr);
        return 2;
    }
    ToolTables tables;
    try {
        tables.session().open(args[0]);
        tables.session().renumber();
        return tables.finish();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

} // namespace zent5::tool
