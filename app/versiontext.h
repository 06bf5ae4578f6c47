#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// The program's file version as the build stamps it ("1.0.1.0"); a missing
// or empty version reads "0.0.0.0".
std::string file_version_text(std::string_view stampedVersion);
std::string file_version_text();

// The about window's version line: "Версия " and the file version.
std::string about_version_text();

} // namespace zent5
