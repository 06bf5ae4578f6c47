#pragma once

#include <charconv>
#include <string>

namespace zent5::journal {

// Decimal digits, at least `width` of them with leading zeros; never
// through the C locale.
inline void appendDigits(std::string& out, long long value, int width)
{
    char digits[24];
    const unsigned long long magnitude = value < 0 ? 0ull - (unsigned long long)value : (unsigned long long)value;
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    if (value < 0)
        out += '-';
    for (int n = int(end - digits); n < width; ++n)
        out += '0';
    out.append(digits, end);
}

} // namespace zent5::journal
