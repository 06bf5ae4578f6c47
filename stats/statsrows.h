#pragma once

#include "records/rowcursor.h"
#include "stats/seriesstatistics.h"

#include <string_view>
#include <vector>

namespace zent5::stats {

// The rows of the cursor's view, from the first to the last, with force and
// stress taken from the named fields (the pair of the units shown). A value
// that is not a number (null, or text in a foreign table) is empty. Leaves
// the cursor past the last row.
std::vector<StatsRow> readStatsRows(RowCursor& cursor, std::string_view forceField, std::string_view stressField);

} // namespace zent5::stats
