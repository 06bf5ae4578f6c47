#pragma once

#include "xlscolor.h"
#include "xlsfont.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zent5 {

struct XlsCellFormat;

struct XlsNumberFormat {
    std::u16string Text;
    uint16_t Id;
};

// The 20 data bytes of a cell format (XF) record.
using XlsXfBody = std::array<uint8_t, 20>;

// The distinct fonts, number formats, cell formats and palette colours of a
// workbook, collected afresh by every save.
class XlsStyleRegistry {
public:
    XlsStyleRegistry() { Reset(); }

    void Reset();

    // The index a cell format uses for the font: position + 1, so the fifth
    // font gets 5 (the file format has no font 4).
    uint16_t AddFont(const XlsFont& font);
    // The format id; 0 (general) for an empty text.
    uint16_t AddFormat(std::string_view text);
    // The XF index, 15 for the first entry of XFList.
    uint16_t AddXf(const XlsXfBody& body);
    // The cell format body of a range with this format; asks ColorIndex for
    // the colours it uses. `merged`: the range covers more than one cell.
    XlsXfBody XfBody(const XlsCellFormat& format, bool merged, uint16_t fontIndex, uint16_t formatIndex);

    // The palette index (8 to 63) for a colour, taking a free palette entry
    // when the colour is not in the palette yet.
    uint8_t ColorIndex(XlsColor color);

    const std::vector<XlsFont>& FontList() const { return m_fonts; }
    const std::vector<XlsNumberFormat>& FormatList() const { return m_formats; }
    const std::vector<XlsXfBody>& XFList() const { return m_xfs; }
    const std::array<XlsColor, 56>& Palette() const { return m_palette; }
    const std::vector<XlsColor>& UsedColors() const { return m_usedColors; }
    bool PaletteChanged() const { return m_paletteChanged; }

    static const std::array<XlsColor, 56>& DefaultPalette();

private:
    std::vector<XlsFont> m_fonts;
    std::vector<XlsNumberFormat> m_formats;
    int m_formatsAdded = 0;
    std::vector<XlsXfBody> m_xfs;
    std::array<XlsColor, 56> m_palette{};
    std::vector<XlsColor> m_usedColors;
    bool m_paletteChanged = false;
};

} // namespace zent5
