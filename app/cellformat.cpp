#include "app/cellformat.h"

#include "records/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zent5 {

namespace {

void replacePoint(std::string& text, char decimalSeparator)
{
    for (char& c : text)
        if (c == '.')
            c = decimalSeparator;
}

} // namespace

std::string general_number_text(double value, char decimalSeparator)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    if (value == 0)
        return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    // "1.5E+17" and "1E-05" are written "1.5E17" and "1E-5".
    const auto e = text.find('E');
    if (e != std::string::npos) {
        const int exponent = std::atoi(text.c_str() + e + 1);
        text = text.substr(0, e + 1) + std::to_string(exponent);
    }
    replacePoint(text, decimalSeparator);
    return text;
}

std::string fixed_number_text(double value, int decimals, char decimalSeparator)
{
    if (!std::isfinite(value))
        return general_number_text(value, decimalSeparator);

    // 15 significant digits: "d.dddddddddddddde±x".
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string mantissa = buffer;
    const auto e = mantissa.find('e');
    std::string digits = mantissa.substr(0, 1) + mantissa.substr(2, e - 2);
    int point = std::atoi(mantissa.c_str() + e + 1) + 1; // digits before the decimal point

    if (point < 1) {
        digits.insert(0, size_t(1 - point), '0');
        point = 1;
    }
    const size_t keep = size_t(point + decimals);
    if (digits.size() < keep + 1)
        digits.append(keep + 1 - digits.size(), '0');
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        int i = int(keep) - 1;
        for (; i >= 0 && digits[size_t(i)] == '9'; --i)
            digits[size_t(i)] = '0';
        if (i >= 0) {
            ++digits[size_t(i)];
        } else {
            digits.insert(0, 1, '1');
            ++point;
        }
    }

    std::string whole = digits.substr(0, size_t(point));
    const std::string fraction = digits.substr(size_t(point));
    const auto firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);

    const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;
    std::string text = negative ? "-" : "";
    text += whole;
    if (decimals > 0) {
        text += decimalSeparator;
        text += fraction;
    }
    return text;
}

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
