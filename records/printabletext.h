#pragma once

#include <string>
#include <string_view>

namespace zent5 {

// A value as an error text quotes it: whole, with every control character
// (a NUL byte in a damaged date, say) written as \xNN, so that nothing is
// cut off or lost when the text is shown.
std::string printable_text(std::string_view utf8);

} // namespace zent5
