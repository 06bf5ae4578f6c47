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
