#include "records/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zent5 {
namespace {

// |value| = 0.d1 d2 ... dn × 10^exponent: at most 17 digits, no trailing
// zeros, none at all for zero.
struct Decimal {
    char digits[24] = {};
    int count = 0;
    int exponent = 0;
};

// From to_chars' scientific form, "d.ddde+xx" or "de-xx".
Decimal fromScientific(const char* first, const char* last)
{
    Decimal d;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p)
        if (*p != '.')
            d.digits[d.count++] = *p;
    int exponent = 0;
    if (p != last) {
        ++p;
        if (p != last && *p == '+')
            ++p;
        std::from_chars(p, last, exponent);
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    d.exponent = d.count > 0 ? exponent + 1 : 0;
    return d;
}

// The magnitude rounded to 15 significant digits.
Decimal fifteenDigits(double magnitude)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    return fromScientific(buf, r.ptr);
}

// The same digits by shorter roads for the usual values.
Decimal fifteenDigitsQuickly(double magnitude)
{
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        // Whole numbers (row numbers, kgf values, serial numbers) are exact.
        Decimal d;
        char reversed[20];
        int n = 0;
        for (auto v = uint64_t(magnitude); v != 0; v /= 10)
            reversed[n++] = char('0' + v % 10);
        d.exponent = n;
        int last = 0;
        while (last < n && reversed[last] == '0')
            ++last;
        for (int i = n - 1; i >= last; --i)
            d.digits[d.count++] = reversed[i];
        return d;
    }
    // The shortest text that reads back as a normal double lies within half
    // a unit of its 53rd binary digit, closer than half a unit of the 15th
    // decimal digit; so when it has at most 15 digits it is the 15-digit
    // form. Subnormal values hold fewer binary digits.
    if (magnitude < std::numeric_limits<double>::min())
        return fifteenDigits(magnitude);
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    const Decimal shortest = fromScientific(buf, r.ptr);
    return shortest.count <= 15 ? shortest : fifteenDigits(magnitude);
}

const char* noNumberText(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

void appendInteger(std::string& out, int value)
{
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

std::string generalText(const Decimal& d, bool negative, char separator)
{
    if (d.count == 0)
        return "0";
    std::string out = negative ? "-" : "";
    const int n = d.count;
    const int e = d.exponent;
    if (e > 15 || e < -3) {
        out += d.digits[0];
        if (n > 1) {
            out += separator;
            out.append(d.digits + 1, size_t(n - 1));
        }
        out += 'E';
        appendInteger(out, e - 1);
    } else if (e <= 0) {
        out += '0';
        out += separator;
        out.append(size_t(-e), '0');
        out.append(d.digits, size_t(n));
    } else if (e >= n) {
        out.append(d.digits, size_t(n));
        out.append(size_t(e - n), '0');
    } else {
        out.append(d.digits, size_t(e));
        out += separator;
        out.append(d.digits + e, size_t(n - e));
    }
    return out;
}

std::string fixedText(const Decimal& d, bool negative, int decimals, char separator)
{
    decimals = decimals < 0 ? 0 : decimals;
    // The digits of |value| × 10^decimals, rounded to a whole number.
    const int keep = d.exponent + decimals;
    std::string digits;
    bool roundUp = false;
    if (d.count > 0 && keep >= 0) {
        digits.assign(d.digits, size_t(keep < d.count ? keep : d.count));
        digits.append(size_t(keep) - digits.size(), '0');
        roundUp = keep < d.count && d.digits[keep] >= '5';
    }
    if (roundUp) {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i > 0)
            ++digits[i - 1];
        else
            digits.insert(digits.begin(), '1');
    }
    if (digits.size() < size_t(decimals) + 1)
        digits.insert(0, size_t(decimals) + 1 - digits.size(), '0');
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string out = negative && !zero ? "-" : "";
    const size_t whole = digits.size() - size_t(decimals);
    out.append(digits, 0, whole);
    if (decimals > 0) {
        out += separator;
        out.append(digits, whole);
    }
    return out;
}

} // namespace

std::string general_number_text(double value, char decimalSeparator)
{
    if (!std::isfinite(value))
        return noNumberText(value);
    return generalText(fifteenDigitsQuickly(std::fabs(value)), value < 0, decimalSeparator);
}

std::string fixed_number_text(double value, int decimals, char decimalSeparator)
{
    if (!std::isfinite(value))
        return noNumberText(value);
    return fixedText(fifteenDigitsQuickly(std::fabs(value)), value < 0, decimals, decimalSeparator);
}

std::string general_number_text_reference(double value, char decimalSeparator)
{
    if (!std::isfinite(value))
        return noNumberText(value);
    return generalText(fifteenDigits(std::fabs(value)), value < 0, decimalSeparator);
}

std::string fixed_number_text_reference(double value, int decimals, char decimalSeparator)
{
    if (!std::isfinite(value))
        return noNumberText(value);
    return fixedText(fifteenDigits(std::fabs(value)), value < 0, decimals, decimalSeparator);
}

} // namespace zent5
