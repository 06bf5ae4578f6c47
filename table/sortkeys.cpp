#include "table/sortkeys.h"

#include "records/codepagesortkeys.h"
#include "records/text.h"
#include "table/dbfformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <thread>

namespace zent5 {
namespace {

double roundTo15Digits(double v)
{
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? 0.0 : v;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    double out = v;
    std::from_chars(buf, r.ptr, out, std::chars_format::scientific);
    return out;
}

// Distinct texts that make it worth a second thread for their keys.
constexpr size_t kTextsForTwoThreads = 8192;

} // namespace

double numberSortKeyReference(std::string_view stored)
{
    while (!stored.empty() && stored.front() == ' ')
        stored.remove_prefix(1);
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    const bool negative = !stored.empty() && stored.front() == '-';
    const std::string_view number = stored.substr(negative ? 1 : 0);
    const size_t point = number.find('.');
    const bool plain = number.find_first_not_of("0123456789.") == std::string_view::npos &&
                       number.find_first_of("0123456789") != std::string_view::npos &&
                       (point == std::string_view::npos || number.find('.', point + 1) == std::string_view::npos);
    if (!plain)
        return roundTo15Digits(dbf::decodeNumber(stored).value_or(0.0));
    // The digits without the point, and the power of ten of the last one.
    std::string digits;
    for (char c : number)
        if (c != '.')
            digits += c;
    long exponent = point == std::string_view::npos ? 0 : -long(number.size() - point - 1);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.empty())
        return 0;
    if (digits.size() > 15) {
        const bool up = digits[15] >= '5';
        exponent += long(digits.size() - 15);
        digits.resize(15);
        for (size_t k = digits.size(); up && k-- > 0;) {
            if (digits[k] != '9') {
                ++digits[k];
                break;
            }
            digits[k] = '0';
            if (k == 0)
                digits.insert(digits.begin(), '1');
        }
    }
    const std::string text = (negative ? "-" : "") + digits + "e" + std::to_string(exponent);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::scientific);
    return v;
}

double numberSortKey(std::string_view stored)
{
    size_t b = 0, e = stored.size();
    while (b < e && stored[b] == ' ')
        ++b;
    while (e > b && stored[e - 1] == ' ')
        --e;
    if (b == e)
        return 0;
    const bool negative = stored[b] == '-';
    size_t i = b + (negative ? 1 : 0);
    uint64_t mantissa = 0;
    int digits = 0;       // significant digits taken
    int scale = 0;        // decimals of the mantissa
    int dropped = 0;      // digits before the point beyond the 15th
    bool point = false, any = false, roundUp = false, rest = false;
    for (; i < e; ++i) {
        const char c = stored[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            return numberSortKeyReference(stored); // not a plain decimal
        any = true;
        if (digits == 0 && c == '0') {
            if (point)
                ++scale;
            continue;
        }
        if (digits < 15) {
            mantissa = mantissa * 10 + uint64_t(c - '0');
            ++digits;
            if (point)
                ++scale;
        } else {
            if (digits == 15 && !rest)
                roundUp = c >= '5';
            rest = true;
            if (!point)
                ++dropped;
        }
    }
    if (!any || scale > 22 || dropped > 22)
        return numberSortKeyReference(stored);
    if (roundUp)
        ++mantissa; // halves away from zero, on the magnitude
    double v = double(mantissa);
    v = dropped > 0 ? v * dbf::kExactPowersOfTen[dropped] : v / dbf::kExactPowersOfTen[scale];
    return negative ? -v : v;
}

// ---- texts ------------------------------------------------------------------

TextSortKeys::TextSortKeys(uint8_t language, const CodePage& codePage, bool withPadding)
    : m_language(language), m_codePage(codePage), m_withPadding(withPadding)
{
}

bool TextSortKeys::paddingCanGo(std::string_view stored) const
{
    if (m_language == 0)
        return true; // bytes are keys of their own, padding and all
    return m_codePage.installed() && text::CodePageSortKeys::forCodePage(m_codePage.number()).paddingCanGo(stored);
}

std::string_view TextSortKeys::keyText(std::string_view stored) const
{
    if (m_language == 0 || m_withPadding)
        return stored;
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    return stored;
}

std::string TextSortKeys::keyOfKeyText(std::string_view text, size_t width) const
{
    if (m_language == 0)
        return std::string(text);
    if (m_codePage.installed()) {
        const text::CodePageSortKeys& keys = text::CodePageSortKeys::forCodePage(m_codePage.number());
        return m_withPadding ? keys.key(text) : keys.keyWithPadding(text, width - text.size());
    }
    return text::russianSortKey(m_codePage.decode(text));
}

std::string TextSortKeys::key(std::string_view stored) const { return keyOfKeyText(keyText(stored), stored.size()); }

TextKeyColumn::TextKeyColumn(const TextSortKeys& keys, uint32_t rows, size_t width)
    : m_keys(keys), m_width(width), m_textOf(rows)
{
    // Reserved for the longest case, so only what is used is ever touched.
    m_column.reserve(size_t(rows) * width);
    size_t size = 16;
    while (size < size_t(rows) * 2)
        size *= 2;
    m_slots.assign(size, 0);
}

uint32_t& TextKeyColumn::slotOf(std::string_view text)
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = std::hash<std::string_view>{}(text) & mask;; i = (i + 1) & mask) {
        uint32_t& slot = m_slots[i];
        if (slot == 0 || m_texts[slot - 1] == text)
            return slot;
    }
}

void TextKeyColumn::add(uint32_t row, std::string_view stored)
{
    const std::string_view text = m_keys.keyText(stored);
    uint32_t& slot = slotOf(text);
    if (slot == 0) {
        if (!m_keys.withPadding() && !m_keys.paddingCanGo(text))
            m_needsPadding = true;
        m_column.append(text);
        m_texts.push_back(std::string_view(m_column).substr(m_column.size() - text.size()));
        m_uses.push_back(0);
        slot = uint32_t(m_texts.size());
    }
    m_textOf[row] = slot - 1;
    ++m_uses[slot - 1];
}

void TextKeyColumn::takeInto(std::vector<SortKey>& keys)
{
    std::vector<std::string> textKeys(m_texts.size());
    auto work = [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k)
            textKeys[k] = m_keys.keyOfKeyText(m_texts[k], m_width);
    };
    // Collation keys are the costly part of a text sort.
    if (m_texts.size() >= kTextsForTwoThreads) {
        std::thread helper(work, m_texts.size() / 2, m_texts.size());
        work(0, m_texts.size() / 2);
        helper.join();
    } else {
        work(0, m_texts.size());
    }
    // The last row of a text takes its key, the others a copy.
    for (size_t r = 0; r < m_textOf.size(); ++r) {
        const uint32_t t = m_textOf[r];
        keys[r].text = --m_uses[t] == 0 ? std::move(textKeys[t]) : textKeys[t];
    }
}

} // namespace zent5
