#pragma once

#include "table/fileio.h"

#include <string>

// The table component's texts for what went wrong with a file, shared by
// everything that writes table files so the user reads the same words.
namespace zent5::fileerrors {

inline constexpr const char* kWriteFailed = "Error while writing occurred. (Disk full?)";

inline std::string cannotOpen(const std::string& path, int error)
{
    return "Cannot open file \"" + path + "\". " + fileio::errorText(error);
}

inline std::string cannotCreate(const std::string& path, int error)
{
    return "Cannot create file \"" + path + "\". " + fileio::errorText(error);
}

} // namespace zent5::fileerrors
