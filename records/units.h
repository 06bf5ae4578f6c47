#pragma once

#include <optional>
#include <string_view>

namespace zent5 {

// The two systems of units the grid, the reports, the sheet and the
// statistics show a table in. Every row holds its force, stress and area in
// both; the system only chooses which of the paired fields is shown.
enum class Units {
    KiloNewton,    // kN, MPa and mm²
    KiloGramForce, // kgf, kgf/cm² and cm²
};

// The fields that hold force, stress and area in a system of units.
struct UnitFields {
    std::string_view force;
    std::string_view stress;
    std::string_view area;
};

constexpr UnitFields unitFields(Units units)
{
    // F_MM holds square centimetres although its name ends in MM.
    if (units == Units::KiloGramForce)
        return {"P_KG", "S_KG", "F_MM"};
    return {"P", "S", "F"};
}

// The system of units whose fields include `field` (named as the table
// names its columns, in capitals); nothing for a field both systems show.
constexpr std::optional<Units> unitsOfField(std::string_view field)
{
    for (const Units units : {Units::KiloNewton, Units::KiloGramForce}) {
        const UnitFields f = unitFields(units);
        if (field == f.force || field == f.stress || field == f.area)
            return units;
    }
    return std::nullopt;
}

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
