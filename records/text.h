#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text seam. The program holds text as UTF-8; table files hold single-byte
// text in a code page (1251 for our tables); the spreadsheet holds UTF-16.
// The conversions and the Russian linguistic comparison come from the
// platform (Qt with ICU on Linux, the code page and NLS calls on Windows).
namespace zent5::text {

// Code page 1251 <-> UTF-8. Characters that 1251 cannot hold become '?'.
std::string toCp1251(std::string_view utf8);
std::string fromCp1251(std::string_view bytes);
// Whether every character of the UTF-8 text exists in code page 1251.
bool fitsCp1251(std::string_view utf8);

// Any installed single-byte or multi-byte code page by its number
// (437, 866, 1250, 1251, 1252, ...).
bool codePageInstalled(int codePage);
std::string toCodePage(int codePage, std::string_view utf8);
std::string fromCodePage(int codePage, std::string_view bytes);

// The platform's code page notions. On Linux the program speaks for a
// Russian desktop: ANSI code page 1251, OEM code page 866, locale 0x0419.
int systemAnsiCodePage();
int systemOemCodePage();
uint32_t userDefaultLocale();

// UTF-8 -> UTF-16 code units, for the spreadsheet.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);

// A byte string whose plain byte order is the Russian linguistic order,
// case-sensitive, no other options; used to sort many keys without
// comparing them through the collator each time.
std::string russianSortKey(std::string_view utf8);

// The user's decimal separator (',' on a Russian desktop).
char decimalSeparator();

} // namespace zent5::text
