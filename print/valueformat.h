#pragma once

#include "records/fieldvalue.h"
#include "reportlayout.h"

#include <string>

namespace zent5 {

// A number by the pattern "0.00" or "0.0": at least one digit before the
// separator, exactly as many after it as the pattern has, rounded half away
// from zero, always with a comma. Returns false for a pattern it does not
// know or a value it cannot show (not finite), leaving `out` alone.
bool formatNumberPattern(double value, const std::string& pattern, std::string& out);

// A column value as a report cell shows it: null and blank text as nothing,
// text as stored, numbers by `format` (the general form with `separator`,
// or the pattern, falling back to the general form when the pattern cannot
// be applied).
std::string displayValue(const FieldValue& value, const DisplayFormat& format, char separator);

} // namespace zent5
