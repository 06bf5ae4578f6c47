#pragma once

#include <optional>
#include <string_view>

namespace zent5::stats {

// What the user typed as a required value: blank (no requirement), a value
// of 0 or more, or text that is neither (`valid` false). The decimal point
// may be typed as "," or ".", whatever the system's separator.
struct RequiredEntry {
    bool valid = true;
    std::optional<double> value;
};

RequiredEntry readRequiredEntry(std::string_view typed);

} // namespace zent5::stats
