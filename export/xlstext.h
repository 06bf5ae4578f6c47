#pragma once

#include <array>
#include <string>
#include <string_view>

// Texts of the workbook. The program holds UTF-8, the file holds UTF-16, and
// everything in between behaves as single-byte code page 1251 text: a
// character that code page cannot hold is stored as '?', one character is one
// UTF-16 code unit, and lengths are counted in characters.
namespace zent5::xlstext {

// UTF-8 -> UTF-16, characters outside code page 1251 replaced by '?'.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view text);

// The same text as single-byte text would hold it, back in UTF-8.
std::string singleByte(std::string_view utf8);

// The same text as fromUtf8 gives, one byte of code page 1251 per character:
// the model keeps its cell texts so, half the size of UTF-16.
std::string toSingleByte(std::string_view utf8);
// The same into `out`, whose room is used again.
void toSingleByte(std::string_view utf8, std::string& out);
// A code page 1251 byte of such a text as its UTF-16 code unit.
char16_t widen(uint8_t byte);
// All 256 of them at once, for loops over many characters.
const std::array<char16_t, 256>& wideTable();
std::u16string widen(std::string_view singleByte);

// Every carriage-return line-feed pair becomes a single line feed.
void joinCrLf(std::u16string& text);
void joinCrLf(std::string& text);

// The first `count` characters, then without leading and trailing blanks
// (spaces and control characters).
std::u16string cutAndTrim(std::u16string_view text, size_t count);

// Equality without regard to letter case, for Latin and Cyrillic letters.
bool equalIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace zent5::xlstext
