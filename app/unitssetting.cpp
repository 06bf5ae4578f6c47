#include "app/unitssetting.h"

#include "app/settingsstore.h"

namespace zent5 {

namespace {
constexpr const char* kKey = "Dimension";
}

Units read_units_setting(SettingsStore& settings)
{
    if (const auto stored = settings.integer(kKey))
        return *stored != 0 ? Units::KiloGramForce : Units::KiloNewton;
    write_units_setting(settings, Units::KiloNewton);
    return Units::KiloNewton;
}

void write_units_setting(SettingsStore& settings, Units units)
{
    settings.setInteger(kKey, units == Units::KiloGramForce ? 1 : 0);
}

} // namespace zent5
