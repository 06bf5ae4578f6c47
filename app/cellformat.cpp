#include "app/cellformat.h"

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
