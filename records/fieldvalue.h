#pragma once

#include <string>
#include <variant>

namespace zent5 {

// A column value as the program passes it around: nothing (null), a number,
// or a text in UTF-8.
using FieldValue = std::variant<std::monostate, double, std::string>;

inline bool isNull(const FieldValue& v) { return std::holds_alternative<std::monostate>(v); }

} // namespace zent5
