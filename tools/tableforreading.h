#pragma once

#include "session/tablesession.h"
#include "tools/downloadconsole.h"

#include <cstdio>
#include <string>

namespace zent5::tool {

// A table opened as the tool's commands that only read open it: through
// the window's table session, shared with other readers, and nothing is
// ever written. The table's own error (zent5::Error) when it does not open.
class TableForReading {
public:
    explicit TableForReading(const std::string& path) { m_session.openForReading(path); }

    DbfTable& table() { return m_session.table(); }
    void close() { m_session.close(); }

private:
    DownloadConsole m_console{stderr, false};
    NoTableView m_view;
    TableSession m_session{m_console, m_view};
};

} // namespace zent5::tool
