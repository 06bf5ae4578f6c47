#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// A CSV field: quoted when it holds a separator, a quote or a line break,
// with each quote doubled.
std::string csvField(std::string_view text);

} // namespace zent5
