#pragma once

#include <cstdint>

namespace zent5 {

// A colour of the workbook model. With bit 31 clear it is RGB stored as
// 0x00BBGGRR (red in the low byte); with bit 31 set the low 24 bits number a
// system colour of the platform, resolved to RGB when the file is written.
using XlsColor = uint32_t;

inline constexpr XlsColor kXlsSystemColorFlag = 0x80000000u;
inline constexpr XlsColor kXlsWindowTextColor = kXlsSystemColorFlag | 8u;

inline constexpr XlsColor xlsRgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return XlsColor(red) | (XlsColor(green) << 8) | (XlsColor(blue) << 16);
}

inline constexpr bool isSystemColor(XlsColor c) { return (c & kXlsSystemColorFlag) != 0; }

// The platform's current RGB value (0x00BBGGRR) of a system colour.
XlsColor systemColorRgb(uint32_t systemColor);

} // namespace zent5
