#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The dBase table file as this program reads and writes it.
//
//   offset 0    header, 32 bytes
//     0  version byte (0x03: dBase III/IV without memo)
//     1  year - 1900, 2 month, 3 day of the last header write
//     4  record count, 32 bits (not trusted on reading: the size decides)
//     8  header length, 16 bits: 32 + 32 * columns + 1
//    10  record length, 16 bits: 1 + sum of widths
//    28  index-file flag: 1 while the table has its .mdx file
//    29  language driver byte (0xC9: code page 1251, Russian)
//   offset 32   one 32-byte descriptor per column
//     0  name, zero padded to 11 bytes
//    11  type letter, 16 width, 17 decimals (for C: high byte of the width)
//   then 0x0D, the records (deletion flag ' ' or '*', then the columns), 0x1A.
namespace zent5::dbf {

inline constexpr size_t kHeaderSize = 32;
inline constexpr size_t kDescriptorSize = 32;
inline constexpr uint8_t kTerminator = 0x0D;

// The powers of ten a double holds exactly, 1e0 to 1e22: a number of up to
// 15 digits times or over one of them is correctly rounded.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr uint8_t kEndOfFile = 0x1A;
inline constexpr char kLive = ' ';
inline constexpr char kDeleted = '*';
inline constexpr int kNumberWidth = 18;
inline constexpr int kNumberDecimals = 9;

inline constexpr size_t kOffVersion = 0;
inline constexpr size_t kOffDate = 1;
inline constexpr size_t kOffCount = 4;
inline constexpr size_t kOffHeaderLength = 8;
inline constexpr size_t kOffRecordLength = 10;
inline constexpr size_t kOffIndexFlag = 28;
inline constexpr size_t kOffLanguage = 29;

struct Header {
    uint8_t version = 0x03;
    uint32_t recordCount = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;
    uint8_t indexFlag = 0;
    uint8_t language = 0;
};

struct Field {
    std::string name; // upper case
    char type = 'C';
    int width = 0;
    int decimals = 0;
};

struct Date {
    int year = 2000; // full year
    int month = 1;
    int day = 1;
};
Date today();

bool versionAccepted(uint8_t version);
// The first 32 bytes; `bytes` must hold at least that many.
Header readHeader(const uint8_t* bytes);
// Descriptors from the header area (at least 32 bytes, at most the header
// length); refuses empty names and unknown types with "Invalid DBF file.".
std::vector<Field> readDescriptors(std::string_view headerArea, uint16_t headerLength);
// Puts date, count and index flag into a header area.
void patchHeader(std::string& headerArea, const Date& date, uint32_t count, uint8_t indexFlag);
// A new table's header area: header, descriptors and the terminator.
std::string buildHeaderArea(const std::vector<Field>& fields, uint8_t version, uint8_t language, const Date& date);

// The type name the program gives a column, for the type mismatch message.
std::string typeName(const Field& field);
bool isNumberType(char type);
// Whether a column's width holds a value of its type: a text at least one
// byte, a number a digit, the point and its decimals.
bool widthHoldsType(const Field& field);

// Fixed-point text of `value` with `decimals` digits after '.', halves
// rounded away from zero, right-aligned in `width` bytes. Nothing when it
// does not fit or the value is not finite.
std::optional<std::string> encodeNumber(double value, int width, int decimals);
// The same into `width` bytes at `out`; false (and `out` untouched) when it
// does not fit or the value is not finite.
bool encodeNumberInto(double value, int width, int decimals, char* out);
// Spaces only: nothing (null). Text that is not a number reads as 0.
std::optional<double> decodeNumber(std::string_view stored);
// Parses a whole decimal number with the given separator; nothing when the
// text is not a number.
std::optional<double> parseDecimal(std::string_view text, char separator);
// Shortest decimal text that reads back as the same value.
std::string shortestText(double value, char separator);

// Cut or padded with spaces to `width` bytes.
std::string encodeText(std::string_view bytes, int width);
void encodeTextInto(std::string_view bytes, int width, char* out);
// Trailing spaces stripped; an all-space column gives nothing (null).
std::optional<std::string_view> decodeText(std::string_view stored);

} // namespace zent5::dbf
