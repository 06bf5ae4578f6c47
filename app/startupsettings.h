#pragma once

#include <string>

namespace zent5 {

class SettingsStore;

struct StartupSettings {
    std::string default_dir;
    bool dimension = false;
};

// Reads "Default_dir" and "Dimension" as the main window does when it is
// created, writing the defaults at once where a value is absent: the
// current directory and 0. Any non-zero "Dimension" reads as true; a
// "Dimension" that is not an integer counts as absent.
StartupSettings read_startup_settings(SettingsStore& settings, const std::string& currentDir);

} // namespace zent5
