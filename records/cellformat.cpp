#include "records/cellformat.h"

#include "records/numbertext.h"
#include "records/text.h"

#include <charconv>
#include <cmath>

namespace zent5 {

std::string cell_text(const FieldValue& value, GridFormat format, char decimalSeparator)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    const auto* number = std::get_if<double>(&value);
    if (!number)
        return {};
    switch (format) {
    case GridFormat::Fixed2:
        return fixed_number_text(*number, 2, decimalSeparator);
    case GridFormat::Fixed1:
        return fixed_number_text(*number, 1, decimalSeparator);
    case GridFormat::General:
    case GridFormat::Text:
        break;
    }
    return general_number_text(*number, decimalSeparator);
}

} // namespace zent5

namespace zent5 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Sign, digits, one decimal point, then an exponent. `complete` asks for
// a whole number (a digit before the exponent and in it); otherwise any
// prefix of one passes.
bool numberShape(std::string_view text, char decimalSeparator, bool complete)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == decimalSeparator)) {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        if (!digits)
            return false;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        bool exponentDigits = false;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            exponentDigits = true;
        }
        if (complete && !exponentDigits)
            return false;
    }
    return i == text.size() && (digits || !complete);
}

} // namespace

bool comment_fits(std::string_view utf8)
{
    int characters = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    return characters <= comment_max_length && text::fitsCp1251(utf8);
}

std::optional<FieldValue> typed_number(std::string_view text, char decimalSeparator)
{
    text = trimmed(text);
    if (text.empty())
        return FieldValue{};
    if (!numberShape(text, decimalSeparator, true))
        return std::nullopt;
    std::string plain(text.front() == '+' ? text.substr(1) : text);
    for (char& c : plain)
        if (c == decimalSeparator)
            c = '.';
    // from_chars reads the same whatever the process locale says.
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return FieldValue(value);
}

bool number_in_progress(std::string_view text, char decimalSeparator)
{
    return numberShape(trimmed(text), decimalSeparator, false);
}

} // namespace zent5
