#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5::text {

// Russian sort keys made straight from the bytes of a single-byte code page,
// without decoding the text or calling the collator for it: plain byte order
// of two keys is the Russian collator's order of the decoded texts.
//
// Each character weighs the same wherever it stands, except after the few
// characters a prefix rule of the collator names (the middle dot after L),
// all checked when the keys are set up; so a text's key is its characters'
// primary weights, 0x01, their secondary weights, 0x01, their tertiary
// weights, each weight written as a short code of its rank. Where that does
// not hold for a code page (a multi-byte one, or characters that join under
// the collator's rules), usable() is false and key() falls back to the
// collator's own key of the decoded text. Keys of one object are comparable
// with each other only, not with russianSortKey's.
class CodePageSortKeys {
public:
    explicit CodePageSortKeys(int codePage);

    int codePage() const { return m_codePage; }
    // Whether key() is the fast kind; otherwise it asks the collator.
    bool usable() const { return m_usable; }
    // Any bytes, trailing spaces and control characters included.
    std::string key(std::string_view bytes) const;
    // The key of `bytes` followed by `padding` spaces, with the spaces
    // written as their count: shorter than key() of the whole text, and in
    // the same order among texts of one length that paddingCanGo() accepts.
    std::string keyWithPadding(std::string_view bytes, size_t padding) const;
    // Whether keyWithPadding() orders texts of these bytes (false when not
    // usable()): true for letters, digits and the usual punctuation, false
    // for tabs and other control characters that weigh less than the space.
    bool paddingCanGo(std::string_view bytes) const;

    // The keys of one code page, set up on first use; safe to call and use
    // from several threads.
    static const CodePageSortKeys& forCodePage(int codePage);

private:
    static constexpr size_t kTextStart = 256; // the "preceding byte" of the first

    // How the levels after the primary write a run of their commonest weight
    // (most characters have no accent and the same case): one byte counting
    // the run, from the low range when a smaller weight or the level's end
    // follows, from the high range counting down when a greater one follows,
    // with a middle byte for every `max` commons of a longer run. The other
    // weights have codes below the low range and above the high one.
    struct RunCodes {
        uint8_t low = 0;
        uint8_t middle = 0;
        uint8_t highTop = 0;
        uint8_t max = 1;
    };
    // One character's part of a key. At the levels after the primary its
    // weights are its leading commons (joining the run before it), its own
    // bytes beginning and ending with other weights, and its trailing commons
    // (starting the next run, as the common tertiary of a capital's accent
    // does); a character of commons only has leading ones.
    struct Row {
        uint8_t primaryLength = 0;
        std::array<uint8_t, 2> lead {};
        std::array<uint8_t, 2> length {};
        std::array<uint8_t, 2> trail {};
        std::array<bool, 2> greaterFirst {}; // its own bytes begin above the commonest
    };

    bool setUp();
    template<size_t Slot>
    // The key, with `afterPrimary` written at the end of the first level.
    std::string build(std::string_view bytes, std::string_view afterPrimary) const;
    static char* writeRun(char* out, unsigned run, bool greaterFollows, const RunCodes& codes);

    int m_codePage = 0;
    bool m_usable = false;
    // Rows 0-255 are the bytes by themselves, the rows after them a byte
    // right after a particular one.
    std::vector<Row> m_rows;
    // Every row's bytes at the three levels, in slots of m_slot bytes (a
    // multiple of 8, so a slot is copied whole).
    size_t m_slot = 8;
    std::array<std::vector<char>, 3> m_bytes;
    std::array<RunCodes, 2> m_runs;
    size_t m_mostPerRow = 0; // the most bytes or weights a row has at a level
    // For a byte that weighs otherwise after some others: 1 + the number of
    // its table, which gives the row by the preceding byte (0 for none).
    std::array<uint16_t, 256> m_contextTable {};
    std::array<bool, 256> m_paddingNeutral {};
    std::string m_paddingPrefix; // of the codes of a count of spaces
    size_t m_paddingBase = 0;
    std::vector<std::array<uint16_t, 257>> m_contextRows;
};

} // namespace zent5::text
