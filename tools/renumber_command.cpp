#include "commands.h"

#include "records/error.h"
#include "session/tablesession.h"
#include "tools/downloadconsole.h"

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
    DownloadConsole console(stderr, false);
    NoTableView view;
    TableSession session(console, view);
    try {
        session.open(args[0]);
        session.renumber();
        if (!session.isOpen()) {
            std::fprintf(stderr, "%s\n", view.lastError.c_str());
            return 1;
        }
        session.close();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace zent5::tool
