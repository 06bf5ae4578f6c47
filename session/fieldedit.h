#pragma once

#include "records/fieldvalue.h"

#include <cstdint>
#include <string_view>

namespace zent5 {

class DbfTable;

// Puts a typed value into a field of a row, as an in-place edit of the grid
// does: the row is made current and taken into editing (leaving a row
// edited before posts that one), unless it is being edited already. The
// row is written when it is posted. False when the record is not a
// visible row of the open table.
bool editField(DbfTable& table, uint32_t recNo, std::string_view field, const FieldValue& value);

} // namespace zent5
