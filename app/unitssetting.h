#pragma once

#include "records/units.h"

namespace zent5 {

class SettingsStore;

// The setting "Dimension": 0 for kN, MPa and mm², 1 for kgf, kgf/cm² and
// cm². Reading takes any other integer for kgf, and an absent value (or one
// that is not an integer) for kN, which it writes at once.
Units read_units_setting(SettingsStore& settings);
void write_units_setting(SettingsStore& settings, Units units);

} // namespace zent5
