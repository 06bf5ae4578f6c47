#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// A file path taken apart at its last separator and its file name's last
// dot. Both "/" and "\" separate, as they do for the Windows program, so a
// path reads the same whichever form it was typed in.
struct PathParts {
    // Without a trailing separator, except a root's own ("/", "C:\");
    // empty when the path names no folder.
    std::string directory;
    // With its extension.
    std::string fileName;
    // The file name without its last extension ("May" of "May.db").
    std::string stem;
};

PathParts splitPath(std::string_view path);

} // namespace zent5
