#pragma once

#include <string>

// Opens the table file `name` in `dir` as the program opens a table closed
// while sorted, reads every row, sorts, edits and packs it, and closes it.
// The table's own errors are expected outcomes; anything else is a fault.
void exerciseTable(const std::string& dir, const std::string& name);
