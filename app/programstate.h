#pragma once

#include "records/units.h"

#include <string>

namespace zent5 {

// The program's name: the application title, the caption in the no-table
// state, the tail of the caption with a table open and the caption of the
// save prompt.
inline constexpr const char* program_title = "ЗЕНТ-5";

// The program-wide state the main window owns and the commands read.
struct ProgramState {
    bool table_open = false;
    // The user began editing a cell since the table was last opened,
    // created, saved or had rows deleted; only the close asks about it.
    bool table_changed = false;
    // The system of units the grid, the reports and the export show.
    Units dimension = Units::KiloNewton;
    // Remembered for the file dialogs; reaches the settings when the main
    // window closes.
    std::string default_dir;
};

} // namespace zent5
