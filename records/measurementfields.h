#pragma once

#include <array>
#include <string_view>

namespace zent5 {

// The thirteen columns of the measurement table, in the order a new table
// defines them. Number columns hold 64-bit floating-point values; text
// columns hold at most `width` single-byte (code page 1251) characters.
struct MeasurementField {
    std::string_view name;
    bool isText;
    int width; // text columns only
};

inline constexpr std::array<MeasurementField, 13> kMeasurementFields{{
    {"N", false, 0},
    {"DATE", true, 10},
    {"TIME", true, 8},
    {"SERIAL", false, 0},
    {"P", false, 0},
    {"P_KG", false, 0},
    {"S", false, 0},
    {"S_KG", false, 0},
    {"F", false, 0},
    {"D", false, 0},
    {"TYPE", true, 10},
    {"COMMENT", true, 100},
    {"F_MM", false, 0},
}};

} // namespace zent5
