#pragma once

#include "journal/moment.h"

#include <cstdint>
#include <string>
#include <string_view>

// An entry's id names its file. It is made of the moment (UTC), the
// instrument's serial number and a counter that tells apart two downloads
// of one instrument within a second: "20240305-100000-00321-01". Ids of the
// same width sort as their moments do, so the file names alone give the
// journal's order.
namespace zent5::journal {

constexpr int kMaxIdCounter = 99;
constexpr std::string_view kEntryExtension = ".zje";
constexpr std::string_view kTemporaryExtension = ".tmp";

std::string entryId(const Moment& moment, uint16_t serialNumber, int counter);

// Whether the text has the form of an id.
bool isEntryId(std::string_view text);

// The id of an entry file's name ("<id>.zje"), or empty for any other name.
std::string idOfFileName(std::string_view fileName);

} // namespace zent5::journal
