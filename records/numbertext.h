#pragma once

#include <string>

namespace zent5 {

// Numbers as the user reads them, in the grid and in the printed report.
// The caller gives the decimal separator (the system's, or the comma a
// report pattern fixes); the C library's locale is never consulted.

// The general form: the shortest decimal with up to 15 significant digits
// and no thousands separator ("12", "9,6", "0,0001"); below 1E-4 and from
// 1E15 up the exponent form ("1E-5", "1,23456789012346E17"). Values that are
// no number read "NAN", "INF", "-INF".
std::string general_number_text(double value, char decimalSeparator);

// Exactly `decimals` decimals (at least one digit before the separator),
// rounded half away from zero on the 15-significant-digit decimal form, so
// that 2.675 gives "2,68" as it reads; a value that rounds to zero has no
// minus sign. Values that are no number read as in the general form.
std::string fixed_number_text(double value, int decimals, char decimalSeparator);

// The same texts, every number taken through its 15-digit form without the
// shortcuts for whole numbers and short decimals; the reference the fast
// paths are held against.
std::string general_number_text_reference(double value, char decimalSeparator);
std::string fixed_number_text_reference(double value, int decimals, char decimalSeparator);

} // namespace zent5
