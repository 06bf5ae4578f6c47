#pragma once

#include "table/fileio.h"

#include <string>

namespace zent5 {

// Copies every byte of the open file `from` (named `fromPath` in messages)
// into the open file `to`, from offset 0. Raises the table's errors: the
// open error of `fromPath` when it cannot be read, the write error when
// `to` cannot be written.
void copyFileBytes(const fileio::File& from, const std::string& fromPath, fileio::File& to);

} // namespace zent5
