#include "xlscolor.h"

namespace zent5 {

// The desktop offers no system colour scheme to plain code here, so the
// classic scheme's values stand in: the texts are black on a white window.
XlsColor systemColorRgb(uint32_t systemColor)
{
    switch (systemColor) {
    case 5:  // window background
    case 14: // highlighted text
        return xlsRgb(0xFF, 0xFF, 0xFF);
    case 15: // button face
        return xlsRgb(0xC0, 0xC0, 0xC0);
    case 16: // button shadow
    case 17: // grey text
        return xlsRgb(0x80, 0x80, 0x80);
    default: // window text (8) and every other text colour
        return xlsRgb(0, 0, 0);
    }
}

} // namespace zent5
