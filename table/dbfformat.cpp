#include "table/dbfformat.h"

#include "records/error.h"
#include "table/le.h"

#include <algorithm>
#include <cctype>
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

// Rounds a plain decimal text (digits, optional '.') to `decimals` digits
// after the point, halves away from zero; the result always has exactly that
// many decimals.
std::string roundDecimal(std::string digits, int decimals)
{
    size_t point = digits.find('.');
    if (point == std::string::npos) {
        point = digits.size();
        digits += '.';
    }
    std::string whole = digits.substr(0, point);
    std::string fraction = digits.substr(point + 1);
    bool carry = false;
    if (fraction.size() > size_t(decimals)) {
        carry = fraction[size_t(decimals)] >= '5';
        fraction.resize(size_t(decimals));
    }
    fraction.append(size_t(decimals) - fraction.size(), '0');
    std::string all = whole + fraction;
    for (size_t i = all.size(); carry && i-- > 0;) {
        if (all[i] == '9') {
            all[i] = '0';
        } else {
            ++all[i];
            carry = false;
        }
    }
    if (carry)
        all.insert(all.begin(), '1');
    std::string intPart = all.substr(0, all.size() - size_t(decimals));
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
    if (decimals == 0)
        return intPart;
    return intPart + "." + all.substr(all.size() - size_t(decimals));
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
        std::tm local {};
        localtime_r(&now, &local);
        lastDate = Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
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
            f.name += char(std::toupper(d[i]));
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
            d[i] = uint8_t(std::toupper(uint8_t(name[i])));
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

std::optional<std::string> encodeNumber(double value, int width, int decimals)
{
    if (!std::isfinite(value) || decimals < 0 || decimals > 30)
        return std::nullopt;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    if (r.ec != std::errc())
        return std::nullopt;
    std::string text = roundDecimal(std::string(buf, r.ptr), decimals);
    if (value < 0 && text.find_first_not_of("0.") != std::string::npos)
        text.insert(text.begin(), '-');
    if (text.size() > size_t(width))
        return std::nullopt;
    return std::string(size_t(width) - text.size(), ' ') + text;
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

std::optional<double> decodeNumber(std::string_view stored)
{
    stored = trimSpaces(stored);
    if (stored.empty())
        return std::nullopt;
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

std::string encodeText(std::string_view bytes, int width)
{
    std::string out(bytes.substr(0, size_t(width)));
    out.append(size_t(width) - out.size(), ' ');
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
