#pragma once

#include "records/fieldvalue.h"
#include "reportlayout.h"

#include <string>

namespace zent5 {

// The general form of a number: the shortest decimal with up to 15
// significant digits, no thousands separator, `separator` as the decimal
// separator (12 -> "12", 9.6 -> "9,6", 0.283 -> "0,283").
std::string formatPlainNumber(double value, char separator);

// A number by the pattern "0.00" or "0.0": at least one digit before the
// separator, exactly as many after it as the pattern has, rounded half away
// from zero, always with a comma. Returns false for a pattern it does not
// know or a value it cannot show (not finite), leaving `out` alone.
bool formatNumberPattern(double value, const std::string& pattern, std::string& out);

// A column value as a report cell shows it: null and blank text as nothing,
// text as stored, numbers by `format` (plain with `separator`, or the
// pattern, falling back to plain when the pattern cannot be applied).
std::string displayValue(const FieldValue& value, const DisplayFormat& format, char separator);

} // namespace zent5
