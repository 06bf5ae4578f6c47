#pragma once

#include "stats/requiredvalues.h"

namespace zent5 {

class SettingsStore;

// The required values of the statistics window, in kN ("Required_force")
// and MPa ("Required_stress") whatever the units shown, as texts with "."
// as the decimal separator; an empty text is no required value. Absent
// values, and texts that are no number of 0 or more, read as none.
stats::RequiredValues read_required_values(const SettingsStore& settings);
void write_required_values(SettingsStore& settings, const stats::RequiredValues& kilonewtons);

} // namespace zent5
