#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zent5::testing {

// Bytes as hex pairs, each followed by a space, for failure messages.
inline std::string hexBytes(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        out += digits[uint8_t(c) >> 4];
        out += digits[uint8_t(c) & 15];
        out += ' ';
    }
    return out;
}

} // namespace zent5::testing
