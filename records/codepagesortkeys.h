#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5::text {

// Russian sort keys made straight from the bytes of a single-byte code page,
// without decoding the text or calling the collator for it: plain byte order
// of two keys is the order of compareRussian on the decoded texts.
//
// Each character weighs the same wherever it stands, except after the few
// characters a prefix rule of the collator names (the middle dot after L),
// all checked when the keys are set up; so a text's key is the primary
// weights of its characters, 0x01, their secondary weights, 0x01, their
// tertiary weights. Where that does not hold for a code page (a multi-byte
// one, or characters that join under the collator's rules), usable() is
// false and key() falls back to the collator's own key of the decoded text.
// Keys of one object are comparable with each other only, not with
// russianSortKey's.
class CodePageSortKeys {
public:
    explicit CodePageSortKeys(int codePage);

    int codePage() const { return m_codePage; }
    // Whether key() is the fast kind; otherwise it asks the collator.
    bool usable() const { return m_usable; }
    // Any bytes, trailing spaces and control characters included.
    std::string key(std::string_view bytes) const;

    // The keys of one code page, set up on first use; safe to call and use
    // from several threads.
    static const CodePageSortKeys& forCodePage(int codePage);

private:
    enum Level { Primary, Secondary, Tertiary, LevelCount };
    static constexpr size_t kTextStart = 256; // "preceding byte" of the first

    bool setUp();

    int m_codePage = 0;
    bool m_usable = false;
    // The weight bytes of every character at every level, in rows of m_slot
    // bytes (a multiple of 16, so a row is copied whole). Rows 0-255 are the
    // bytes by themselves, the rows after them a byte after a particular one.
    size_t m_slot = 16;
    std::array<std::vector<char>, LevelCount> m_weights;
    std::array<std::vector<uint8_t>, LevelCount> m_length;
    size_t m_longest = 0; // the most bytes one character adds to a key
    // For a byte that weighs otherwise after some others: 1 + the number of
    // its table, which gives the row by the preceding byte (0 for none).
    std::array<uint16_t, 256> m_contextTable {};
    std::vector<std::array<uint16_t, 257>> m_contextRows;
};

} // namespace zent5::text
