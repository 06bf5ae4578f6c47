#pragma once

#include "archiveimage.h"
#include "prompter.h"
#include "rowcursor.h"

#include <cstdint>
#include <string>

namespace zent5 {

// Seconds from a fixed day before 0001-01-01 to the given date and time
// ("dd.mm.yyyy", "hh:mm:ss"); every real moment gives a key above 0.
// Raises "'%s' is not a valid date and time" (date and time joined by one
// blank) when the texts are not a real calendar moment.
int64_t record_key(const std::string& dateText, const std::string& timeText);

// Raises the decoding's error when the image cannot be decoded whole (no
// header, a record size below 11, records past the decoded bytes); an
// empty archive passes. Lets a caller refuse an archive before it touches
// any file.
void check_archive(const ArchiveImage& image);

// Turns the downloaded archive image into rows of the open table: every
// record (append false), or only the records newer than the table's last
// row (append true), then reports through the prompter. Checks the image
// before it appends anything, so a damaged archive adds no row at all.
void flash2pos(bool append, RowCursor& table, const ArchiveImage& image, Prompter& prompter);

} // namespace zent5
