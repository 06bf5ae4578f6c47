#include "records/plural.h"

#include <charconv>

namespace zent5 {

PluralForm plural_form(uint64_t count)
{
    const uint64_t lastTwo = count % 100;
    const uint64_t last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return PluralForm::Many;
    if (last == 1)
        return PluralForm::One;
    if (last >= 2 && last <= 4)
        return PluralForm::Few;
    return PluralForm::Many;
}

std::string counted(uint64_t count, const char* one, const char* few, const char* many)
{
    char digits[24];
    std::string text(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    text += ' ';
    switch (plural_form(count)) {
    case PluralForm::One:
        return text + one;
    case PluralForm::Few:
        return text + few;
    case PluralForm::Many:
        break;
    }
    return text + many;
}

} // namespace zent5
