#pragma once

#include "session/tablesession.h"
#include "tools/downloadconsole.h"

#include <cstdio>
#include <string>

namespace zent5::tool {

// The window's table commands as the tool's commands use them: message
// boxes as lines on the error stream, and no view but the error it is told
// when a table cannot be opened again.
class ToolTables {
public:
    TableSession& session() { return m_session; }
    DbfTable& table() { return m_session.table(); }

    // After a command that writes the table and opens it again: closes it
    // and gives 0, or 1 with the reason on the error stream when it could
    // not be opened again.
    int finish()
    {
        if (!m_session.isOpen()) {
            std::fprintf(stderr, "%s\n", m_view.lastError.c_str());
            return 1;
        }
        m_session.close();
        return 0;
    }

private:
    DownloadConsole m_console{stderr, false};
    NoTableView m_view;
    TableSession m_session{m_console, m_view};
};

} // namespace zent5::tool
