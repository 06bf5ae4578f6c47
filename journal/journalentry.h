#pragma once

#include "journal/moment.h"
#include "records/archiveimage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zent5::journal {

// What the download was taken for.
enum class TableAction : uint8_t {
    NewTable = 1, // "Создать"
    Append = 2,   // "Дополнить"
};

// The instrument's verification as it stood on the day of the download.
enum class Verification : uint8_t {
    NoDate = 0,  // the user entered no due date for this instrument
    InDate = 1,
    Overdue = 2, // the due date had passed
};

// The facts of one download that are not in the archive image.
struct Download {
    Moment moment;
    std::string portName;  // as the download window names it, "\\.\COM1"
    TableAction action = TableAction::NewTable;
    std::string tablePath; // UTF-8
    uint32_t rowsAdded = 0;
    Verification verification = Verification::NoDate;
};

// One journal entry without its image: what the journal's list shows.
struct EntryInfo {
    std::string id; // given by the journal when the entry is written
    uint8_t kind = 0;
    uint8_t model = 0;
    std::string versionText; // "10.10.14"
    uint16_t serialNumber = 0;
    Download download;
    uint32_t imageLength = 0; // decoded bytes of the archive kept
    uint16_t recordCount = 0; // from the image's header; 0 when it has none
};

// One download as it was received: the decoded bytes of the archive image,
// exactly `info.imageLength` of them.
struct Entry {
    EntryInfo info;
    std::vector<uint8_t> image;
};

// The record count at the head of an archive image's bytes, 0 without a header.
uint16_t recordCountOf(const std::vector<uint8_t>& image);

// The entry for a download: the image's decoded bytes and identification.
Entry makeEntry(const ArchiveImage& image, const Download& download);

// The archive image as the download left it, for the decoding; the bytes
// past the decoded length are zero.
void restoreArchiveImage(const Entry& entry, ArchiveImage& image);

} // namespace zent5::journal
