#pragma once

#include "journal/moment.h"

#include <optional>
#include <string>
#include <vector>

// What the journal needs of the platform besides reading and writing files:
// where the user's data lives, folders, and the clock. One implementation
// file per platform.
namespace zent5::journal {

// The program's per-user data folder: $XDG_DATA_HOME/Korvelin/ZT, or
// ~/.local/share/Korvelin/ZT (on Windows: Korvelin\ZT in the roaming
// application data folder). Empty when the platform names no such place.
std::string dataFolder();
// dataFolder()/journal, or empty.
std::string journalFolder();
// The path of a file in a folder.
std::string pathIn(const std::string& folder, const std::string& name);

// Makes the folder and the ones above it that are missing; true when it
// exists afterwards, otherwise the error number is in `error`.
bool makeFolders(const std::string& path, int& error);
// The names in a folder (not "." and ".."), in no order; false with the
// error number when the folder cannot be read.
bool folderNames(const std::string& path, std::vector<std::string>& names, int& error);
// Whether the name in the folder is a folder itself.
bool isFolder(const std::string& path);
// Seconds since the file was last written, or nothing when it is gone.
std::optional<int64_t> secondsSinceWritten(const std::string& path);

// The clock now, with the local offset in force.
Moment now();

} // namespace zent5::journal
