#pragma once

#include <cstdint>
#include <optional>

namespace zent5 {

// The numbers of a measurement record, derived from the instrument's raw
// force (0.01 kN) and area (0.001 cm²) with the results the instrument's own
// program gives. That program rounds each stored value to a double and
// carries its intermediate quotients with a 64-bit mantissa; here every
// result comes from integers and correctly rounded double quotients, so it
// is the same on every processor and compiler.
struct DerivedNumbers {
    double P = 0;                // kN
    double P_KG = 0;             // kgf, whole
    double F_MM = 0;             // cm²
    double F = 0;                // mm²
    std::optional<double> S;     // MPa, one decimal; none when the area is 0
    std::optional<double> S_KG;  // kgf/cm², whole, from the rounded S
};

DerivedNumbers deriveNumbers(uint16_t force, uint16_t area);

// The stress in tenths of MPa, trunc(100 × P ÷ F_MM + 0.5), for an area
// above 0. Away from an exact half this is the stress rounded half up; at
// an exact half the rounding errors of P and F_MM decide, and the steps are
// followed one by one.
uint32_t stressTenths(uint16_t force, uint16_t area);

// The same by following every step of the instrument's program for any
// pair: each quotient rounded to a 64-bit mantissa, P and F_MM then stored
// as doubles, 0.5 added with the sum rounded to 64 bits, the fraction cut.
uint32_t stressTenthsStepByStep(uint16_t force, uint16_t area);

// A force in 0.01 kN, or a stress in 0.1 MPa, in whole kgf or kgf/cm²:
// both are the value divided by 0.980665, rounded half up.
uint32_t kgfOf(uint32_t units);

} // namespace zent5
