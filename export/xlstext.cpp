#include "xlstext.h"

#include "records/text.h"

#include <array>
#include <bitset>
#include <memory>

namespace zent5::xlstext {
namespace {

// The UTF-16 code units that code page 1251 can hold, taken from the
// platform's own converter once.
const std::bitset<65536>& cp1251Repertoire()
{
    static const std::unique_ptr<std::bitset<65536>> set = [] {
        auto s = std::make_unique<std::bitset<65536>>();
        std::string all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[size_t(i)] = char(i);
        for (const char16_t c : text::toUtf16(text::fromCp1251(all)))
            if (c != u'\uFFFD' && (c < 0xD800 || c > 0xDFFF))
                s->set(c);
        return s;
    }();
    return *set;
}

// Both directions between code page 1251 bytes and the UTF-16 code units of
// the repertoire above.
struct SingleByteTables {
    std::array<char16_t, 256> wide{};
    std::array<uint8_t, 65536> narrow{};
};

const SingleByteTables& singleByteTables()
{
    static const std::unique_ptr<SingleByteTables> tables = [] {
        auto t = std::make_unique<SingleByteTables>();
        const auto& repertoire = cp1251Repertoire();
        for (int b = 0; b < 256; ++b) {
            const std::u16string c = text::toUtf16(text::fromCp1251(std::string(1, char(b))));
            t->wide[size_t(b)] = c.size() == 1 && repertoire.test(c[0]) ? c[0] : u'?';
        }
        // Lowest byte first, so a character that two bytes give maps back to the first.
        for (int b = 255; b >= 0; --b)
            t->narrow[t->wide[size_t(b)]] = uint8_t(b);
        for (size_t c = 0; c < 65536; ++c)
            if (!repertoire.test(c) || t->wide[t->narrow[c]] != char16_t(c))
                t->narrow[c] = '?';
        return t;
    }();
    return *tables;
}

bool isAscii(std::string_view s)
{
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char16_t foldCase(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 0x20);
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)
        return char16_t(c + 0x20);
    if (c >= 0x0410 && c <= 0x042F) // А..Я
        return char16_t(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F) // Ѐ..Џ, Ё among them
        return char16_t(c + 0x50);
    if (c == 0x0490) // Ґ
        return 0x0491;
    return c;
}

} // namespace

std::u16string fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::u16string(utf8.begin(), utf8.end());
    const std::u16string wide = text::toUtf16(utf8);
    const auto& repertoire = cp1251Repertoire();
    std::u16string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
            ++i; // one character outside the plane, one '?'
        out.push_back(repertoire.test(c) ? c : u'?');
    }
    return out;
}

std::string toUtf8(std::u16string_view text)
{
    bool ascii = true;
    for (const char16_t c : text)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(text.begin(), text.end());
    return text::fromUtf16(text);
}

std::string singleByte(std::string_view utf8)
{
    if (isAscii(utf8))
        return std::string(utf8);
    return toUtf8(fromUtf8(utf8));
}

std::string toSingleByte(std::string_view utf8)
{
    std::string out;
    toSingleByte(utf8, out);
    return out;
}

void toSingleByte(std::string_view utf8, std::string& out)
{
    out.resize(utf8.size());
    char* to = out.data();
    const auto& narrow = singleByteTables().narrow;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    // A leading byte order mark, too, is left to the platform, which drops it.
    const bool byteOrderMark = utf8.substr(0, 3) == "\xEF\xBB\xBF";
    while (p < end && !byteOrderMark) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *to++ = char(b);
            ++p;
            continue;
        }
        const ptrdiff_t left = end - p;
        uint32_t c;
        if (b >= 0xC2 && b < 0xE0 && left >= 2 && (p[1] & 0xC0) == 0x80) {
            c = (uint32_t(b & 0x1F) << 6) | (p[1] & 0x3Fu);
            p += 2;
        } else if (b >= 0xE0 && b < 0xF0 && left >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            c = (uint32_t(b & 0x0F) << 12) | (uint32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3Fu);
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
                break;
            p += 3;
        } else if (b >= 0xF0 && b < 0xF5 && left >= 4 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80 &&
                   (p[3] & 0xC0) == 0x80) {
            c = (uint32_t(b & 0x07) << 18) | (uint32_t(p[1] & 0x3F) << 12) | (uint32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3Fu);
            if (c < 0x10000 || c > 0x10FFFF)
                break;
            p += 4;
        } else {
            break;
        }
        // A character outside the basic plane is one '?', as in fromUtf8.
        *to++ = char(c < 0x10000 ? narrow[c] : uint8_t('?'));
    }
    if (p == end && !byteOrderMark) {
        out.resize(size_t(to - out.data()));
        return;
    }
    // Malformed UTF-8 goes the platform's way, whatever that makes of it.
    const std::u16string wide = fromUtf8(utf8);
    out.resize(wide.size());
    for (size_t i = 0; i < wide.size(); ++i)
        out[i] = char(narrow[wide[i]]);
}

char16_t widen(uint8_t byte) { return singleByteTables().wide[byte]; }

const std::array<char16_t, 256>& wideTable() { return singleByteTables().wide; }

std::u16string widen(std::string_view singleByte)
{
    const auto& wide = singleByteTables().wide;
    std::u16string out(singleByte.size(), u'\0');
    for (size_t i = 0; i < singleByte.size(); ++i)
        out[i] = wide[uint8_t(singleByte[i])];
    return out;
}

void joinCrLf(std::string& text)
{
    const size_t first = text.find('\r');
    if (first == std::string::npos)
        return;
    size_t n = first;
    for (size_t i = first; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            text[n++] = text[i]; // a CR before an LF goes
    text.resize(n);
}

void joinCrLf(std::u16string& text)
{
    if (text.find(u"\r\n") == std::u16string::npos)
        return;
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the line feed follows
        out.push_back(text[i]);
    }
    text = std::move(out);
}

std::u16string cutAndTrim(std::u16string_view text, size_t count)
{
    text = text.substr(0, count);
    size_t first = 0;
    while (first < text.size() && text[first] <= u' ')
        ++first;
    size_t last = text.size();
    while (last > first && text[last - 1] <= u' ')
        --last;
    return std::u16string(text.substr(first, last - first));
}

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

} // namespace zent5::xlstext
