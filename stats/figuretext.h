#pragma once

#include "records/gridcolumn.h"
#include "records/units.h"
#include "stats/quantity.h"

#include <string>
#include <string_view>

namespace zent5::stats {

// A number as the grid shows one in `format`, with `separator` as the
// decimal separator. Every number the statistics window shows and its page
// prints is written here.
std::string numberText(double value, GridFormat format, char separator);

// The grid's format of a column ("N", "D", "P", ...); general for a field
// the grid does not show.
GridFormat columnFormat(std::string_view field);

// The grid's format of a quantity in a system of units: "0.00" for kN,
// "0.0" for MPa, general for kgf and kgf/cm².
GridFormat quantityFormat(Quantity q, Units dimension);

// A figure of a quantity as the grid shows that quantity.
std::string figureText(double value, Quantity q, Units dimension, char separator);

} // namespace zent5::stats
