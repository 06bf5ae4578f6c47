#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace zent5 {

// Column and sort tag names compare without regard to the case of their
// Latin letters, and only of those: a table file stores its names in upper
// case ASCII, and what the user's locale calls upper case must not decide
// which column a name finds.
inline char upperFieldChar(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

inline bool sameFieldName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upperFieldChar(x) == upperFieldChar(y); });
}

// A name in the form the table file stores it.
inline std::string upperFieldName(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = upperFieldChar(c);
    return out;
}

} // namespace zent5
