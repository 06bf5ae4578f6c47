#pragma once

#include <cstdint>

// dBase language driver bytes (header byte 29): which code page and Windows
// locale a table's text belongs to.
namespace zent5::language {

// The code page a language byte names, or 0 when it names none.
int codePageOf(uint8_t id);
// The Windows locale a language byte names (its low 16 bits), or 0.
uint32_t localeOf(uint8_t id);
// The byte a new table gets before any table was opened: chosen from the
// system's ANSI code page and user locale (0xC9 on a Russian system).
uint8_t systemDefault(int ansiCodePage, uint32_t userLocale);
// The code page a table's text is read in: the byte's own, or the system's
// ANSI code page when the byte names none.
int tableCodePage(uint8_t id, int ansiCodePage);

} // namespace zent5::language
