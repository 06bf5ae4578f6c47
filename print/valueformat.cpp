#include "valueformat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace zent5 {
namespace {

// Decimal digits of |value| rounded to 15 significant digits, and the
// position of the decimal point relative to the first digit.
struct Decimal {
    std::string digits; // no leading or trailing zeros; empty for zero
    int exponent = 0;   // value = 0.d1d2d3... * 10^exponent
};

Decimal toDecimal(double value)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde[+-]xx
    Decimal d;
    const std::string_view s(buf);
    const size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            d.digits.push_back(s[i]);
    d.exponent = std::atoi(buf + e + 1) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
    return d;
}

} // namespace

std::string formatPlainNumber(double value, char separator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    const Decimal d = toDecimal(value);
    if (d.digits.empty())
        return "0";
    std::string out = value < 0 ? "-" : "";
    const int n = int(d.digits.size());
    if (d.exponent > 15 || d.exponent < -3) {
        // Scientific form for magnitudes the plain form cannot hold in 15 digits.
        out += d.digits[0];
        if (n > 1) {
            out += separator;
            out += d.digits.substr(1);
        }
        out += 'E';
        const int exp = d.exponent - 1;
        if (exp < 0)
            out += '-';
        out += std::to_string(std::abs(exp));
        return out;
    }
    if (d.exponent <= 0) {
        out += '0';
        out += separator;
        out.append(size_t(-d.exponent), '0');
        out += d.digits;
    } else if (d.exponent >= n) {
        out += d.digits;
        out.append(size_t(d.exponent - n), '0');
    } else {
        out += d.digits.substr(0, size_t(d.exponent));
        out += separator;
        out += d.digits.substr(size_t(d.exponent));
    }
    return out;
}

bool formatNumberPattern(double value, const std::string& pattern, std::string& out)
{
    int decimals;
    if (pattern == "0.00")
        decimals = 2;
    else if (pattern == "0.0")
        decimals = 1;
    else
        return false;
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return false;

    // Round the 15-digit decimal form, not the binary value, so that 0.125
    // and 2.675 round the way they read.
    const Decimal d = toDecimal(value);
    std::string digits = d.digits; // integer part and fraction, scaled by 10^decimals
    const int intDigits = d.exponent;
    const int keep = intDigits + decimals; // digits kept from the start of `digits`
    bool roundUp = false;
    if (keep < 0) {
        digits.clear();
    } else if (keep < int(digits.size())) {
        roundUp = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
    }
    if (keep >= 0)
        digits.append(size_t(keep) - digits.size(), '0');
    // `digits` now holds round-down(|value| * 10^decimals) as decimal digits.
    if (roundUp) {
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[size_t(i)] == '9')
            digits[size_t(i--)] = '0';
        if (i >= 0)
            ++digits[size_t(i)];
        else
            digits.insert(digits.begin(), '1');
    }
    if (int(digits.size()) < decimals + 1)
        digits.insert(0, size_t(decimals + 1) - digits.size(), '0');
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    out.clear();
    if (value < 0 && !zero)
        out += '-';
    out += digits.substr(0, digits.size() - size_t(decimals));
    out += ',';
    out += digits.substr(digits.size() - size_t(decimals));
    return true;
}

std::string displayValue(const FieldValue& value, const DisplayFormat& format, char separator)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (text->find_first_not_of(' ') == std::string::npos)
            return {};
        return *text;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        std::string out;
        if (format.kind == DisplayKind::Number && formatNumberPattern(*number, format.pattern, out))
            return out;
        return formatPlainNumber(*number, separator);
    }
    return {};
}

} // namespace zent5
