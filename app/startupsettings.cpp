#include "app/startupsettings.h"

#include "app/settingsstore.h"

namespace zent5 {

StartupSettings read_startup_settings(SettingsStore& settings, const std::string& currentDir)
{
    StartupSettings result;

    if (auto dir = settings.text("Default_dir")) {
        result.default_dir = *dir;
    } else {
        result.default_dir = currentDir;
        settings.setText("Default_dir", currentDir);
    }

    if (auto dimension = settings.integer("Dimension")) {
        result.dimension = *dimension != 0;
    } else {
        result.dimension = false;
        settings.setInteger("Dimension", 0);
    }
    return result;
}

} // namespace zent5
