#pragma once

#include "journal/journalentry.h"
#include "records/archiveimage.h"

#include <string>

namespace zent5::journal {

// The binary dump of a download (".bin"): the decoded bytes of the archive
// image exactly as received, the record count and record size first, with
// no header or trailer of its own. The file is created or replaced whole:
// on failure, raised as "Не удалось записать файл PATH", the old file (if
// any) is untouched and no part of the new one is left.
void writeArchiveDump(const ArchiveImage& image, const std::string& path);
void writeArchiveDump(const Entry& entry, const std::string& path);

} // namespace zent5::journal
