#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

// Text conversion between UTF-8 and one table's code page. For single-byte
// code pages the 256 characters are looked up once through the text seam, so
// converting a hundred thousand rows costs no converter calls.
class CodePage {
public:
    CodePage();
    explicit CodePage(int codePage);

    int number() const { return m_codePage; }
    bool installed() const { return m_installed; }

    std::string decode(std::string_view bytes) const;
    // Characters the code page cannot hold become '?'.
    std::string encode(std::string_view utf8) const;
    // The same into at most `capacity` bytes at `out`; returns the bytes written.
    size_t encodeInto(std::string_view utf8, char* out, size_t capacity) const;

private:
    int m_codePage = 0;
    bool m_installed = false;
    bool m_singleByte = false;
    bool m_asciiSame = false; // the code page's first 128 characters are ASCII
    std::array<std::array<char, 4>, 256> m_toUtf8 {}; // up to 4 UTF-8 bytes per character
    std::array<uint8_t, 256> m_utf8Length {};
    // What a character the code page lacks is written as.
    static constexpr char kMissing = '?';

    // The byte of every character of the Basic Multilingual Plane (single-byte
    // code pages hold nothing beyond it).
    std::vector<char> m_fromUnicode;
};

} // namespace zent5
