#pragma once

#include "xlscolor.h"

#include <cstdint>
#include <string>

namespace zent5 {

enum class XlsFontPitch : uint8_t { Default, Variable, Fixed };

// A cell font. Two fonts are the same font in the workbook's font table when
// every field is equal: the name letter case included, the colour as stored
// (a system colour is not the same as its RGB value).
struct XlsFont {
    std::string Name = "Arial"; // UTF-8
    int Size = 10;              // points
    XlsColor Color = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    XlsFontPitch Pitch = XlsFontPitch::Default;
    uint8_t Charset = 1; // the default character set

    bool operator==(const XlsFont&) const = default;
};

} // namespace zent5
