#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// One field of a comma-separated line: as it stands, or in double quotes
// (inner quotes doubled) when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);

} // namespace zent5
