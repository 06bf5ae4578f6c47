#pragma once

#include "stats/quantity.h"

#include <string_view>

namespace zent5::stats {

// Where force and stress are read and how their units are written in a
// system of units, as the grid shows them.
struct ShownUnits {
    std::string_view forceField;
    std::string_view stressField;
    std::string_view forceUnit;
    std::string_view stressUnit;

    std::string_view field(Quantity q) const { return q == Quantity::Force ? forceField : stressField; }
    std::string_view unit(Quantity q) const { return q == Quantity::Force ? forceUnit : stressUnit; }
};

// kN and MPa, or kgf and kgf/cm² when `dimension` is true.
inline constexpr ShownUnits shownUnits(bool dimension)
{
    return dimension ? ShownUnits{"P_KG", "S_KG", "кГс", "кГс/кв.см"} : ShownUnits{"P", "S", "кН", "МПа"};
}

} // namespace zent5::stats
