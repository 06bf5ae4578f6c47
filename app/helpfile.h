#pragma once

#include <string>

namespace zent5 {

inline constexpr const char* help_file_name = "zent5.hlp";

// "zent5.hlp" in the program's directory when such a file exists; empty
// otherwise, and then the program has no help.
std::string help_file_in(const std::string& programDir);

} // namespace zent5
