#pragma once

#include "records/rowcursor.h"
#include "stats/seriesstatistics.h"

#include <string_view>
#include <vector>

namespace zent5::stats {

// One row from its stored values: a number field that holds no number
// (null, or text in a table another program wrote) is empty, and so is a
// TYPE that holds no text.
StatsRow statsRow(const FieldValue& number, FieldValue type, const FieldValue& diameter, const FieldValue& force,
                  const FieldValue& stress);

// The rows of the cursor's view, from the first to the last, with force and
// stress taken from the named fields (the pair of the units shown), each
// made as statsRow makes it. Leaves the cursor past the last row.
std::vector<StatsRow> readStatsRows(RowCursor& cursor, std::string_view forceField, std::string_view stressField);

} // namespace zent5::stats
