#pragma once

#include <string>
#include <string_view>

namespace zent5::text {

// The Russian collator of ICU, opened once: case-sensitive (tertiary
// strength), no other options.
class RussianCollation {
public:
    RussianCollation();
    ~RussianCollation();
    RussianCollation(const RussianCollation&) = delete;
    RussianCollation& operator=(const RussianCollation&) = delete;

    int compare(std::string_view a, std::string_view b) const;
    std::string sortKey(std::string_view utf8) const;

private:
    void* m_collator = nullptr; // the ICU collator
};

const RussianCollation& russianCollation();

} // namespace zent5::text
