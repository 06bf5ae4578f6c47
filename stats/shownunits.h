#pragma once

#include "records/units.h"
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

inline constexpr ShownUnits shownUnits(Units units)
{
    const UnitFields fields = unitFields(units);
    if (units == Units::KiloGramForce)
        return {fields.force, fields.stress, "кГс", "кГс/кв.см"};
    return {fields.force, fields.stress, "кН", "МПа"};
}

} // namespace zent5::stats
