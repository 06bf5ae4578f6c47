#include "table/codepage.h"

#include "records/text.h"

#include <algorithm>

namespace zent5 {
namespace {

bool isMultiByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

// Next code point of a UTF-8 text; malformed bytes come back one at a time
// as U+FFFD.
char32_t nextCodePoint(std::string_view s, size_t& i)
{
    const auto b = uint8_t(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    const int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + size_t(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto c = uint8_t(s[i + size_t(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += size_t(extra) + 1;
    return cp;
}

} // namespace

CodePage::CodePage() : CodePage(1251) {}

CodePage::CodePage(int codePage) : m_codePage(codePage)
{
    m_installed = text::codePageInstalled(codePage);
    m_singleByte = m_installed && !isMultiByte(codePage);
    if (!m_singleByte)
        return;
    std::array<char32_t, 256> decoded {};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        std::string u = b < 0x80 ? std::string(1, byte) : text::fromCodePage(codePage, std::string_view(&byte, 1));
        if (u.empty() || u.size() > 4)
            u = "\xEF\xBF\xBD"; // U+FFFD
        std::copy(u.begin(), u.end(), m_toUtf8[size_t(b)].begin());
        m_utf8Length[size_t(b)] = uint8_t(u.size());
        size_t i = 0;
        const char32_t cp = nextCodePoint(u, i);
        decoded[size_t(b)] = i == u.size() ? cp : 0xFFFD;
    }
    // A character two bytes decode to is written as the first of them.
    m_fromUnicode.assign(0x10000, kMissing);
    for (int b = 255; b >= 0; --b)
        if (decoded[size_t(b)] != 0xFFFD && decoded[size_t(b)] < m_fromUnicode.size())
            m_fromUnicode[decoded[size_t(b)]] = char(b);
    m_asciiSame = true;
    for (char32_t a = 0; a < 0x80; ++a)
        m_asciiSame = m_asciiSame && m_fromUnicode[a] == char(a);
}

std::string CodePage::decode(std::string_view bytes) const
{
    if (!m_singleByte)
        return m_installed ? text::fromCodePage(m_codePage, bytes) : std::string(bytes);
    std::string out(bytes.size() * 4, '\0');
    size_t n = 0;
    for (char c : bytes) {
        const auto b = uint8_t(c);
        const auto& u = m_toUtf8[b];
        for (uint8_t k = 0; k < m_utf8Length[b]; ++k)
            out[n++] = u[k];
    }
    out.resize(n);
    return out;
}

std::string CodePage::encode(std::string_view utf8) const
{
    if (!m_singleByte)
        return m_installed ? text::toCodePage(m_codePage, utf8) : std::string(utf8);
    std::string out(utf8.size(), '\0');
    out.resize(encodeInto(utf8, out.data(), out.size()));
    return out;
}

size_t CodePage::encodeInto(std::string_view utf8, char* out, size_t capacity) const
{
    if (!m_singleByte) {
        const std::string bytes = encode(utf8);
        const size_t n = std::min(bytes.size(), capacity);
        std::copy_n(bytes.data(), n, out);
        return n;
    }
    size_t n = 0, i = 0;
    while (i < utf8.size() && n < capacity) {
        // Digits, Latin letters and punctuation are most of what we store.
        if (m_asciiSame && uint8_t(utf8[i]) < 0x80) {
            out[n++] = utf8[i++];
            continue;
        }
        const char32_t cp = nextCodePoint(utf8, i);
        out[n++] = cp < m_fromUnicode.size() ? m_fromUnicode[cp] : kMissing;
    }
    return n;
}

} // namespace zent5
