#pragma once

#include <cstddef>
#include <optional>

namespace zent5::stats {

// kₙ of the characteristic value mean − kₙ·s at the 5 % fractile with the
// standard deviation unknown (EN 1990, Annex D, table D1): the listed
// values at n = 3, 4, 5, 6, 8, 10, 20, 30 and 1.64 as n grows without end,
// linearly interpolated in 1/n between them. Nothing for n below 3.
std::optional<double> fractileFactor(size_t n);

} // namespace zent5::stats
