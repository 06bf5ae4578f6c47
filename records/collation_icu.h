#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

    // What the collator compares, level by level: the weights of a text's
    // collation elements in order, less the zero weights a level skips.
    // Tertiaries come without the case bits, which this collator leaves out
    // of the comparison (case shows in the tertiary weights themselves).
    struct Weights {
        std::vector<uint32_t> primary;
        std::vector<uint16_t> secondary;
        std::vector<uint16_t> tertiary;
    };
    bool weights(std::string_view utf8, Weights& out) const;

    // How the characters of texts made of these characters only (each a
    // UTF-8 text of one character, given by its index) depend on their
    // neighbours. False when the collator has an option that looks across
    // characters, or a contraction or a context of more than one preceding
    // character that such a text could meet. Otherwise `afterOther` lists the
    // pairs (preceding, following) where the following character weighs
    // otherwise right after the preceding one (a prefix rule, such as the
    // middle dot after L).
    bool contexts(const std::vector<std::string>& characters, std::vector<std::pair<size_t, size_t>>& afterOther) const;

private:
    void* m_collator = nullptr; // the ICU collator
};

const RussianCollation& russianCollation();

} // namespace zent5::text
