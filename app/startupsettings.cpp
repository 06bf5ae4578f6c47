#include "app/startupsettings.h"

#include "app/settingsstore.h"
#include "app/unitssetting.h"

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

    result.dimension = read_units_setting(settings);
    return result;
}

} // namespace zent5
