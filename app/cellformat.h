#pragma once

#include "app/gridcolumn.h"
#include "records/fieldvalue.h"

#include <string>

namespace zent5 {

// A number in the general format: the shortest decimal form with up to 15
// significant digits ("12,5", "0,0001", "1E-5", "1,23456789012346E17").
std::string general_number_text(double value, char decimalSeparator);

// A number with exactly `decimals` decimals, rounded half away from zero
// on its 15-significant-digit decimal form (2.675 gives "2,68").
std::string fixed_number_text(double value, int decimals, char decimalSeparator);

// What a grid cell shows for a column value: empty for null, texts as they
// are, numbers in the column's format.
std::string cell_text(const FieldValue& value, GridFormat format, char decimalSeparator);

} // namespace zent5
