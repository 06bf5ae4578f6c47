#pragma once

#include "records/rowcursor.h"
#include "records/units.h"
#include "stats/seriesstatistics.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zent5::stats {

// One row from its stored values: a number field that holds no number
// (null, or text in a table another program wrote) is empty, and so is a
// TYPE that holds no text.
StatsRow statsRow(const FieldValue& number, FieldValue type, const FieldValue& diameter, const FieldValue& force,
                  const FieldValue& stress);

// The row of the statistics of a table row whose stored fields `field`
// reads: N, TYPE, D, and force and stress in the system of units shown,
// made as statsRow makes it. The one place that says which fields the
// statistics take.
StatsRow statsRowOf(Units units, const std::function<FieldValue(std::string_view field)>& field);

// The rows of the cursor's view, from the first to the last, each made by
// statsRowOf. Leaves the cursor past the last row.
std::vector<StatsRow> readStatsRows(RowCursor& cursor, Units units);

} // namespace zent5::stats
