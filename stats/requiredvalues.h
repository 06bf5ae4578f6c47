#pragma once

#include "stats/quantity.h"

#include <optional>

namespace zent5::stats {

// The required force and stress; a row fails when its value is below the
// required one. Kept in kN and MPa whatever the units shown, and shown in
// the units of the rows.
struct RequiredValues {
    std::optional<double> force;
    std::optional<double> stress;

    const std::optional<double>& value(Quantity q) const { return q == Quantity::Force ? force : stress; }
    bool operator==(const RequiredValues&) const = default;
};

// Kept values (kN, MPa) as shown in kgf and kgf/cm², and back; the factors
// are the record derivation's.
RequiredValues requiredInKgf(const RequiredValues& inKilonewtons);
RequiredValues requiredInKilonewtons(const RequiredValues& inKgf);

} // namespace zent5::stats
