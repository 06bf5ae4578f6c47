#pragma once

#include "records/units.h"
#include "session/programtitle.h"
#include "session/tableflags.h"

#include <string>

namespace zent5 {

// The program-wide state the main window owns and the commands read:
// `table_open` and `table_changed` (which the table commands keep), the
// system of units and the folder of the file dialogs.
struct ProgramState : TableFlags {
    // The system of units the grid, the reports and the export show.
    Units dimension = Units::KiloNewton;
    // Remembered for the file dialogs; reaches the settings when the main
    // window closes.
    std::string default_dir;
};

} // namespace zent5
