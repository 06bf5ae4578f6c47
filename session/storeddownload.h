#pragma once

#include "records/archiveimage.h"

#include <cstddef>
#include <string>

namespace zent5 {

// Where an archive's rows come from: the instrument just now, or a
// download kept from before (the journal's), which is no download of its
// own and is not told as one.
enum class ArchiveOrigin {
    Instrument,
    Journal,
};

// Where the rows of a download went.
enum class DownloadTarget {
    NewTable,  // "Создать": a new table made of the whole archive
    OpenTable, // "Дополнить": the tests newer than the open table's last row
};

// A download that a table file now holds, told once when its rows are
// stored: the image with the instrument's identification and the port it
// came through, the table file and how many rows it gained.
struct StoredDownload {
    const ArchiveImage& archive;
    std::string table;
    DownloadTarget target;
    size_t rowsAdded;
};

} // namespace zent5
