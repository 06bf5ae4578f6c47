#pragma once

#include <charconv>
#include <cmath>
#include <string_view>

namespace zent5::testing {

// A number another program wrote ("841.89"), read the same under any
// locale; NaN when the text does not start with one.
inline double read_number(std::string_view text)
{
    double v = NAN;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

} // namespace zent5::testing
