#pragma once

#include <string>

namespace zent5 {

inline constexpr const char* help_file_name = "zent5.hlp";

// "zent5.hlp" in the program's directory when such a file exists; empty
// otherwise, and then the program has no help.
std::string help_file_in(const std::string& programDir);

// Opens the help file with the desktop's viewer for its kind of file.
// Does nothing, and shows nothing, when there is no help file.
void open_help(const std::string& helpFile);

} // namespace zent5
