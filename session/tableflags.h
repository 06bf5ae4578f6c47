#pragma once

namespace zent5 {

// Whether a table is open, and whether the user began editing a cell since
// it was last opened, created, saved or had rows deleted (only the close
// asks about it). The main window keeps them with its program-wide state.
struct TableFlags {
    bool table_open = false;
    bool table_changed = false;
};

} // namespace zent5
