#pragma once

#include "records/gridcolumn.h"
#include "records/fieldvalue.h"

#include <optional>
#include <string>
#include <string_view>

namespace zent5 {

// What a grid cell shows for a column value: empty for null, texts as they
// are, numbers in the column's format ("General" or a fixed number of
// decimals, by the number texts the report uses too).
std::string cell_text(const FieldValue& value, GridFormat format, char decimalSeparator);

// The longest comment the table keeps, in characters.
inline constexpr int comment_max_length = 100;

// Whether a typed comment can be stored as it is: at most 100 characters,
// each of them one that code page 1251 holds.
bool comment_fits(std::string_view utf8);

// A typed number: blank gives null; the decimal point may be typed as '.'
// or as the user's separator. Nothing when the text is not a number.
std::optional<FieldValue> typed_number(std::string_view text, char decimalSeparator);

// Whether the text is a number, or the start of one, as typed so far
// ("", "-", "12,", "1e" are; "1,2,3" and "abc" are not).
bool number_in_progress(std::string_view text, char decimalSeparator);

} // namespace zent5
