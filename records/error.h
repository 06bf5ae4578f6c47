#pragma once

#include <stdexcept>
#include <string>

namespace zent5 {

// Every failure the program reports to the user travels as an Error whose
// text (UTF-8) is exactly what the user is shown. The event loop catches it
// once and shows the standard error box.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

} // namespace zent5
