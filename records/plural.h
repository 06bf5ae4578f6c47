#pragma once

#include <cstdint>
#include <string>

namespace zent5 {

// The form a Russian noun takes after a count: One for 1, 21, 101 ...;
// Few for 2-4, 22-24 ...; Many for 0, 5-20, 25-30 ... and every count
// ending in 11 to 14.
enum class PluralForm { One, Few, Many };

PluralForm plural_form(uint64_t count);

// The count and the words in the form it asks for: counted(3, "байт",
// "байта", "байт") is "3 байта". The words follow the count's grammar where
// they stand ("по 21 байту", "в 2 принятых байта"), so the caller gives the
// three forms that fit its sentence.
std::string counted(uint64_t count, const char* one, const char* few, const char* many);

} // namespace zent5
