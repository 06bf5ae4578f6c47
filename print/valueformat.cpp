#include "valueformat.h"

#include "records/numbertext.h"

#include <cmath>

namespace zent5 {

bool formatNumberPattern(double value, const std::string& pattern, std::string& out)
{
    int decimals;
    if (pattern == "0.00")
        decimals = 2;
    else if (pattern == "0.0")
        decimals = 1;
    else
        return false;
    if (!std::isfinite(value))
        return false;
    out = fixed_number_text(value, decimals, ',');
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
        return general_number_text(*number, separator);
    }
    return {};
}

} // namespace zent5
