#pragma once

namespace zent5 {

// The factors between the two systems of units: 1 kgf = 0.00980665 kN and
// 1 kgf/cm² = 0.0980665 MPa. Extended precision, because the record
// derivation divides by them in extended precision.
inline constexpr long double kKilonewtonsPerKgf = 0.00980665L;
inline constexpr long double kMegapascalsPerKgfPerCm2 = 0.0980665L;

// A force or a stress in the other system of units, unrounded.
inline double kilonewtonsFromKgf(double kgf) { return double(kgf * kKilonewtonsPerKgf); }
inline double kgfFromKilonewtons(double kilonewtons) { return double(kilonewtons / kKilonewtonsPerKgf); }
inline double megapascalsFromKgfPerCm2(double kgfPerCm2) { return double(kgfPerCm2 * kMegapascalsPerKgfPerCm2); }
inline double kgfPerCm2FromMegapascals(double megapascals) { return double(megapascals / kMegapascalsPerKgfPerCm2); }

} // namespace zent5
