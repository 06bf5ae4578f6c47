#pragma once

#include "records/units.h"

#include <string>

namespace zent5 {

class SettingsStore;

struct StartupSettings {
    std::string default_dir;
    Units dimension = Units::KiloNewton;
};

// Reads "Default_dir" and "Dimension" as the main window does when it is
// created, writing the defaults at once where a value is absent: the
// current directory and kN ("Dimension" as read_units_setting reads it).
StartupSettings read_startup_settings(SettingsStore& settings, const std::string& currentDir);

} // namespace zent5
