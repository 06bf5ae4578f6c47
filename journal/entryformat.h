#pragma once

#include "journal/journalentry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes of one journal entry file.
namespace zent5::journal {

constexpr uint16_t kEntryFormatVersion = 1;
// The longest entry file there can be: the fixed fields, three texts of
// 65535 bytes, a whole image and the checksum.
constexpr size_t kMaxEntrySize = 36 + 3 * (2 + 65535) + 4 + 65536 + 4;

std::vector<uint8_t> encodeEntry(const Entry& entry);

// The entry a file holds (its id left empty: the id is the file's name).
// Raises an Error with a Russian text saying what is wrong when the bytes
// are not a whole entry of this format: another kind of file, a later
// format, a cut-off or damaged file.
Entry decodeEntry(const uint8_t* data, size_t size);

} // namespace zent5::journal
