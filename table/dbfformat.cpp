#include "table/dbfformat.h"

#include "records/error.h"
#include "records/fieldname.h"
#include "records/lebytes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>

namespace zent5::dbf {
namespace {

const char* const kInvalidFile = "Invalid DBF file.";

bool knownType(char type)
{
    switch (type) {
    case 'C': case 'N': case 'F': case 'D': case 'L': case 'M':
    case 'B': case 'G': case 'I': case 'Y': case 'T': case '@': case 'O': case '+': case '0':
        return true;
    default:
        return false;
    }
}

std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}
} // namespace

Date today()
{
    // Every appended row stamps the header; the local date is worked out
    // again only when the second changes.
    static std::time_t lastTime = -1;
    static Date lastDate;
    const std::time_t now = std::time(nullptr);
    if (now != lastTime) {
        // The table is stamped from one thread only, so the standard call's
        // shared result is safe here, and it is there on every platform.
        const std::tm* local = std::localtime(&now);
        if (!local)
            return lastDate;
        lastDate = Date{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
        lastTime = now;
    }
    return lastDate;
}

bool versionAccepted(uint8_t version)
{
    const int low = version & 7;
    return (low >= 2 && low <= 5) || version == 0x30 || version == 0x31 || version == 0xF5 || version == 0xFB;
}

Header readHeader(const uint8_t* bytes)
{
    Header h;
    h.version = bytes[kOffVersion];
    h.recordCount = le::get32(bytes + kOffCount);
    h.headerLength = le::get16(bytes + kOffHeaderLength);
    h.recordLength = le::get16(bytes + kOffRecordLength);
    h.indexFlag = bytes[kOffIndexFlag];
    h.language = bytes[kOffLanguage];
    return h;
}

std::vector<Field> readDescriptors(std::string_view area, uint16_t headerLength)
{
    std::vector<Field> fields;
    const size_t limit = std::min<size_t>(area.size(), headerLength);
    const size_t maxCount = headerLength >= kHeaderSize ? (headerLength - kHeaderSize) / kDescriptorSize : 0;
    for (size_t k = 0; k < maxCount; ++k) {
        const size_t at = kHeaderSize + k * kDescriptorSize;
        if (at + kDescriptorSize > limit)
            throw Error(kInvalidFile);
        const auto* d = reinterpret_cast<const uint8_t*>(area.data() + at);
        Field f;
        for (size_t i = 0; i < 11 && d[i] != 0; ++i)
            f.name += upperFieldChar(char(d[i]));
        char type = char(d[11]);
        if (d[11] == 0x91)
            type = 'C';
        else if (type >= 'a' && type <= 'z')
            type = char(type - 'a' + 'A');
        if (f.name.empty() || !knownType(type))
            throw Error(kInvalidFile);
        f.type = type;
        if (type == 'C') {
            f.width = d[17] * 256 + d[16];
            f.decimals = 0;
        } else {
            f.width = d[16];
            f.decimals = d[17];
        }
        fields.push_back(std::move(f));
        const size_t next = at + kDescriptorSize;
        if (next < limit && uint8_t(area[next]) == kTerminator)
            break;
    }
    return fields;
}

void patchHeader(std::string& area, const Date& date, uint32_t count, uint8_t indexFlag)
{
    auto* p = reinterpret_cast<uint8_t*>(area.data());
    p[kOffDate] = uint8_t((date.year - 1900) & 0xFF);
    p[kOffDate + 1] = uint8_t(date.month);
    p[kOffDate + 2] = uint8_t(date.day);
    le::put32(p + kOffCount, count);
    p[kOffIndexFlag] = indexFlag;
}

std::string buildHeaderArea(const std::vector<Field>& fields, uint8_t version, uint8_t language, const Date& date)
{
    const size_t headerLength = kHeaderSize + kDescriptorSize * fields.size() + 1;
    std::string area(headerLength, '\0');
    auto* p = reinterpret_cast<uint8_t*>(area.data());
    p[kOffVersion] = version;
    p[kOffLanguage] = language;
    size_t recordLength = 1;
    for (size_t k = 0; k < fields.size(); ++k) {
        uint8_t* d = p + kHeaderSize + k * kDescriptorSize;
        const Field& f = fields[k];
        std::string name = f.name.substr(0, 10);
        for (size_t i = 0; i < name.size(); ++i)
            d[i] = uint8_t(upperFieldChar(name[i]));
        d[11] = uint8_t(f.type);
        if (f.type == 'C') {
            d[16] = uint8_t(f.width & 0xFF);
            d[17] = uint8_t(f.width >> 8);
        } else {
            d[16] = uint8_t(f.width);
            d[17] = uint8_t(f.decimals);
        }
        recordLength += size_t(f.width);
    }
    p[headerLength - 1] = kTerminator;
    le::put16(p + kOffHeaderLength, uint16_t(headerLength));
    le::put16(p + kOffRecordLength, uint16_t(recordLength));
    patchHeader(area, date, 0, 0);
    return area;
}

bool isNumberType(char type) { return type == 'N' || type == 'F'; }

bool widthHoldsType(const Field& f)
{
    if (isNumberType(f.type))
        return f.width >= f.decimals + 2;
    return f.width >= 1;
}

std::string typeName(const Field& f)
{
    switch (f.type) {
    case 'C': return "String";
    case 'N':
    case 'F':
        if (f.decimals > 0)
            return "Float";
        return f.width <= 4 ? "Smallint" : f.width <= 9 ? "Integer" : "Largeint";
    case 'D': return "Date";
    case 'L': return "Boolean";
    case 'M': return "Memo";
    case 'I': return "Integer";
    case 'O': return "Float";
    case 'Y': return "Currency";
    case 'T':
    case '@': return "DateTime";
    case '+': return "AutoInc";
    case 'G': return "Graphic";
    case '0': return "Bytes";
    default: return "Blob";
    }
}

namespace {

// Writes the integer `scaled` as a number with `decimals` digits after the
// point, right-aligned in `width` bytes; false when it does not fit.
bool putScaled(uint64_t scaled, bool minus, int width, int decimals, char* out)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + scaled % 10);
        scaled /= 10;
    } while (scaled != 0 || n <= decimals);
    const int length = (minus ? 1 : 0) + n + (decimals ? 1 : 0);
    if (length > width)
        return false;
    char* p = std::fill_n(out, size_t(width - length), ' ');
    if (minus)
        *p++ = '-';
    for (int k = n; k-- > 0;) {
        *p++ = digits[k];
        if (k == decimals && decimals)
            *p++ = '.';
    }
    return true;
}

// The usual case without writing the shortest text first: when the scaled
// value is clearly away from a half, rounding it directly gives what
// rounding its shortest text gives (the two differ by less than the margin).
bool encodeNumberQuickly(double value, int width, int decimals, char* out, bool& done)
{
    done = false;
    if (decimals > 15)
        return false;
    const double scaled = std::fabs(value) * kExactPowersOfTen[decimals];
    if (!(scaled < 1e15))
        return false;
    const double whole = std::floor(scaled);
    const double margin = scaled * 0x1p-49 + 1e-9;
    if (std::fabs(scaled - whole - 0.5) <= margin)
        return false;
    const auto rounded = uint64_t(scaled - whole > 0.5 ? whole + 1 : whole);
    done = true;
    return putScaled(rounded, value < 0 && rounded != 0, width, decimals, out);
}

} // namespace

bool encodeNumberInto(double value, int width, int decimals, char* out)
{
    if (!std::isfinite(value) || decimals < 0 || decimals > 30 || width < 1)
        return false;
    bool done = false;
    const bool fits = encodeNumberQuickly(value, width, decimals, out, done);
    if (done)
        return fits;
    // The shortest text that reads back as the value, rounded there: 0.125
    // stored with two decimals is 0.13, as the user typed it, whatever the
    // binary value's later digits.
    char shortest[400];
    const auto r = std::to_chars(shortest, shortest + sizeof shortest, std::fabs(value), std::chars_format::fixed);
    if (r.ec != std::errc())
        return false;
    const std::string_view digits(shortest, size_t(r.ptr - shortest));
    const size_t point = std::min(digits.find('.'), digits.size());
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction = point < digits.size() ? digits.substr(point + 1) : std::string_view();
    const size_t places = size_t(decimals);

    // all[0] is room for a carry out of the first digit.
    char all[400 + 32];
    size_t n = 1;
    for (char c : whole)
        all[n++] = c;
    for (size_t k = 0; k < places; ++k)
        all[n++] = k < fraction.size() ? fraction[k] : '0';
    bool carry = fraction.size() > places && fraction[places] >= '5';
    for (size_t k = n; carry && k-- > 1;) {
        if (all[k] == '9') {
            all[k] = '0';
        } else {
            ++all[k];
            carry = false;
        }
    }
    size_t first = 1;
    if (carry)
        all[first = 0] = '1';
    const size_t intEnd = n - places;
    while (first + 1 < intEnd && all[first] == '0')
        ++first;
    bool nonZero = false;
    for (size_t k = first; k < n; ++k)
        nonZero = nonZero || all[k] != '0';
    const bool minus = value < 0 && nonZero;
    const size_t length = (minus ? 1 : 0) + (intEnd - first) + (places ? places + 1 : 0);
    if (length > size_t(width))
        return false;
    char* p = std::fill_n(out, size_t(width) - length, ' ');
    if (minus)
        *p++ = '-';
    p = std::copy(all + first, all + intEnd, p);
    if (places) {
        *p++ = '.';
        std::copy(all + intEnd, all + n, p);
    }
    return true;
}

std::optional<std::string> encodeNumber(double value, int width, int decimals)
{
    if (width < 1)
        return std::nullopt;
    std::string stored(size_t(width), ' ');
    if (!encodeNumberInto(value, width, decimals, stored.data()))
        return std::nullopt;
    return stored;
}

std::optional<double> parseDecimal(std::string_view text, char separator)
{
    text = trimSpaces(text);
    if (text.empty())
        return std::nullopt;
    std::string plain(text);
    if (plain.front() == '+')
        plain.erase(plain.begin());
    if (separator != '.') {
        if (plain.find('.') != std::string::npos)
            return std::nullopt;
        std::replace(plain.begin(), plain.end(), separator, '.');
    }
    // Only plain decimals: digits, one point, a sign, an exponent.
    if (plain.empty() || plain.find_first_not_of("0123456789.-eE+") != std::string::npos)
        return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != plain.data() + plain.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

namespace {

// The fixed-point text tables hold, read without the general parser: up to
// 15 digits are exact in a double, and so is a power of ten up to 1e22, so
// their quotient is the correctly rounded value, as the parser gives it.
std::optional<double> readPlainDecimal(std::string_view text)
{
    const bool negative = text.front() == '-';
    size_t i = negative ? 1 : 0;
    uint64_t mantissa = 0;
    int digits = 0, scale = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (mantissa != 0 || c != '0')
                ++digits;
            mantissa = mantissa * 10 + uint64_t(c - '0');
            scale += point ? 1 : 0;
            if (digits > 15 || scale > 22)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (text.size() == (negative ? 1u : 0u) + (point ? 1u : 0u))
        return std::nullopt; // no digit at all
    const double v = double(mantissa) / kExactPowersOfTen[scale];
    return negative ? -v : v;
}

} // namespace

std::optional<double> decodeNumber(std::string_view stored)
{
    stored = trimSpaces(stored);
    if (stored.empty())
        return std::nullopt;
    if (const std::optional<double> plain = readPlainDecimal(stored))
        return plain;
    return parseDecimal(stored, '.').value_or(0.0);
}

std::string shortestText(double value, char separator)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, r.ptr);
    if (s == "-0")
        s = "0";
    if (separator != '.')
        std::replace(s.begin(), s.end(), '.', separator);
    return s;
}

void encodeTextInto(std::string_view bytes, int width, char* out)
{
    const size_t taken = std::min(bytes.size(), size_t(width));
    std::fill(std::copy_n(bytes.data(), taken, out), out + width, ' ');
}

std::string encodeText(std::string_view bytes, int width)
{
    std::string out(size_t(width), ' ');
    encodeTextInto(bytes, width, out.data());
    return out;
}

std::optional<std::string_view> decodeText(std::string_view stored)
{
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    if (stored.empty())
        return std::nullopt;
    return stored;
}

} // namespace zent5::dbf
