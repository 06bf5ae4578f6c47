#pragma once

namespace zent5 {

// The factors between the two systems of units: 1 kgf = 0.00980665 kN and
// 1 kgf/cm² = 0.0980665 MPa. The record's own kgf figures come from the same
// factor in whole numbers (kgfOf in recordarithmetic.h); these serve the
// values a user types, which need no instrument-exact rounding.
inline constexpr double kKilonewtonsPerKgf = 0.00980665;
inline constexpr double kMegapascalsPerKgfPerCm2 = 0.0980665;

// A force or a stress in the other system of units, unrounded.
inline double kilonewtonsFromKgf(double kgf) { return kgf * kKilonewtonsPerKgf; }
inline double kgfFromKilonewtons(double kilonewtons) { return kilonewtons / kKilonewtonsPerKgf; }
inline double megapascalsFromKgfPerCm2(double kgfPerCm2) { return kgfPerCm2 * kMegapascalsPerKgfPerCm2; }
inline double kgfPerCm2FromMegapascals(double megapascals) { return megapascals / kMegapascalsPerKgfPerCm2; }

} // namespace zent5
