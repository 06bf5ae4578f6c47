#include "xlsstyleregistry.h"

#include "records/lebytes.h"
#include "xlsrange.h"
#include "xlstext.h"

#include <algorithm>

namespace zent5 {
namespace {

constexpr XlsColor rgb(uint32_t rrggbb) { return xlsRgb(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb)); }

// The format's default colours for the palette indexes 8 to 63.
constexpr std::array<XlsColor, 56> kDefaultPalette{
    rgb(0x000000), rgb(0xFFFFFF), rgb(0xFF0000), rgb(0x00FF00), rgb(0x0000FF), rgb(0xFFFF00), rgb(0xFF00FF),
    rgb(0x00FFFF), rgb(0x800000), rgb(0x008000), rgb(0x000080), rgb(0x808000), rgb(0x800080), rgb(0x008080),
    rgb(0xC0C0C0), rgb(0x808080), rgb(0x9999FF), rgb(0x993366), rgb(0xFFFFCC), rgb(0xCCFFFF), rgb(0x660066),
    rgb(0xFF8080), rgb(0x0066CC), rgb(0xCCCCFF), rgb(0x000080), rgb(0xFF00FF), rgb(0xFFFF00), rgb(0x00FFFF),
    rgb(0x800080), rgb(0x800000), rgb(0x008080), rgb(0x0000FF), rgb(0x00CCFF), rgb(0xCCFFFF), rgb(0xCCFFCC),
    rgb(0xFFFF99), rgb(0x99CCFF), rgb(0xFF99CC), rgb(0xCC99FF), rgb(0xFFCC99), rgb(0x3366FF), rgb(0x33CCCC),
    rgb(0x99CC00), rgb(0xFFCC00), rgb(0xFF9900), rgb(0xFF6600), rgb(0x666699), rgb(0x969696), rgb(0x003366),
    rgb(0x339966), rgb(0x003300), rgb(0x333300), rgb(0x993300), rgb(0x993366), rgb(0x333399), rgb(0x333333),
};

// Palette entries holding one of these are never given away to other colours.
constexpr std::array<XlsColor, 16> kProtectedColors{
    rgb(0x000000), rgb(0xFFFFFF), rgb(0xC0C0C0), rgb(0x808080), rgb(0xFF0000), rgb(0x800000),
    rgb(0xFFFF00), rgb(0x808000), rgb(0x00FF00), rgb(0x008000), rgb(0x00FFFF), rgb(0x008080),
    rgb(0x0000FF), rgb(0x000080), rgb(0xFF00FF), rgb(0x800080),
};

// Russian-locale currency formats that every workbook carries under fixed ids.
struct BuiltInFormat {
    uint16_t id;
    const char* text;
};
constexpr BuiltInFormat kBuiltInFormats[] = {
    {5, "#,##0\"р.\";\\-#,##0\"р.\""},
    {6, "#,##0\"р.\";[Red]\\-#,##0\"р.\""},
    {7, "#,##0.00\"р.\";\\-#,##0.00\"р.\""},
    {8, "#,##0.00\"р.\";[Red]\\-#,##0.00\"р.\""},
    {42, "_-* #,##0\"р.\"_-;\\-* #,##0\"р.\"_-;_-* \"-\"\"р.\"_-;_-@_-"},
    {41, "_-* #,##0_р_._-;\\-* #,##0_р_._-;_-* \"-\"_р_._-;_-@_-"},
    {44, "_-* #,##0.00\"р.\"_-;\\-* #,##0.00\"р.\"_-;_-* \"-\"??\"р.\"_-;_-@_-"},
    {43, "_-* #,##0.00_р_._-;\\-* #,##0.00_р_._-;_-* \"-\"??_р_._-;_-@_-"},
};

// Cell formats of the built-in styles (XF 15 to 20).
constexpr XlsXfBody kFixedXfs[] = {
    {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    {0x01, 0x00, 0x2C, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    {0x01, 0x00, 0x2A, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    {0x01, 0x00, 0x09, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    {0x01, 0x00, 0x2B, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
    {0x01, 0x00, 0x29, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20},
};

constexpr uint16_t kFirstXfIndex = 15;
constexpr uint16_t kFirstAddedFormatId = 50;

// Fill pattern codes 1 to 18 of the cell format record are taken as they
// are; anything beyond them is drawn solid.
uint32_t fillPatternCode(uint8_t pattern) { return pattern <= 18 ? pattern : 1; }

} // namespace

const std::array<XlsColor, 56>& XlsStyleRegistry::DefaultPalette() { return kDefaultPalette; }

void XlsStyleRegistry::Reset()
{
    XlsFont windowText;
    windowText.Color = kXlsWindowTextColor;
    m_fonts.assign(4, windowText);

    m_formats.clear();
    for (const auto& f : kBuiltInFormats)
        m_formats.push_back({xlstext::fromUtf8(f.text), f.id});
    m_formatsAdded = 0;

    m_xfs.assign(std::begin(kFixedXfs), std::end(kFixedXfs));

    m_palette = kDefaultPalette;
    m_usedColors.clear();
    m_paletteChanged = false;
}

uint16_t XlsStyleRegistry::AddFont(const XlsFont& font)
{
    const auto it = std::find(m_fonts.begin(), m_fonts.end(), font);
    if (it != m_fonts.end())
        return uint16_t(it - m_fonts.begin() + 1);
    m_fonts.push_back(font);
    return uint16_t(m_fonts.size());
}

uint16_t XlsStyleRegistry::AddFormat(std::string_view text)
{
    if (text.empty())
        return 0;
    const std::u16string t = xlstext::fromUtf8(text);
    for (const auto& f : m_formats)
        if (xlstext::equalIgnoringCase(f.Text, t))
            return f.Id;
    const uint16_t id = uint16_t(kFirstAddedFormatId + m_formatsAdded++);
    m_formats.push_back({t, id});
    return id;
}

uint16_t XlsStyleRegistry::AddXf(const XlsXfBody& body)
{
    const auto it = std::find(m_xfs.begin(), m_xfs.end(), body);
    if (it != m_xfs.end())
        return uint16_t(kFirstXfIndex + (it - m_xfs.begin()));
    m_xfs.push_back(body);
    return uint16_t(kFirstXfIndex + m_xfs.size() - 1);
}

uint8_t XlsStyleRegistry::ColorIndex(XlsColor color)
{
    if (isSystemColor(color))
        color = systemColorRgb(color & 0x00FFFFFFu);
    if (std::find(m_usedColors.begin(), m_usedColors.end(), color) == m_usedColors.end())
        m_usedColors.push_back(color);
    for (size_t i = 0; i < m_palette.size(); ++i)
        if (m_palette[i] == color)
            return uint8_t(i + 8);
    for (size_t i = 0; i < m_palette.size(); ++i) {
        const XlsColor entry = m_palette[i];
        const bool isProtected = std::find(kProtectedColors.begin(), kProtectedColors.end(), entry) != kProtectedColors.end();
        const bool isUsed = std::find(m_usedColors.begin(), m_usedColors.end(), entry) != m_usedColors.end();
        if (!isProtected && !isUsed) {
            m_palette[i] = color;
            m_paletteChanged = true;
            return uint8_t(i + 8);
        }
    }
    return 8;
}

XlsXfBody XlsStyleRegistry::XfBody(const XlsCellFormat& format, bool merged, uint16_t fontIndex, uint16_t formatIndex)
{
    using B = XlsBorderIndex;
    const XlsBorders& borders = format.Borders;
    auto edgeColor = [&](B which) -> uint32_t {
        const XlsBorder& b = borders[which];
        return b.LineStyle == 0 ? 0 : ColorIndex(b.Color);
    };
    // The order of the ColorIndex calls decides which palette entries new
    // colours take: diagonals, left, right, top, bottom, then the fill.
    const uint32_t diagDown = edgeColor(B::DiagonalDown);
    const uint32_t diagUp = edgeColor(B::DiagonalUp);
    const uint32_t left = edgeColor(B::Left);
    const uint32_t right = edgeColor(B::Right);
    const uint32_t top = edgeColor(B::Top);
    const uint32_t bottom = edgeColor(B::Bottom);
    const uint32_t fillFore = ColorIndex(format.FillForeColor);
    const uint32_t fillBack = ColorIndex(format.FillBackColor);

    uint32_t diagColor = 0, diagStyle = 0;
    if (borders[B::DiagonalUp].LineStyle != 0) {
        diagColor = diagUp;
        diagStyle = borders[B::DiagonalUp].LineStyle;
    } else if (borders[B::DiagonalDown].LineStyle != 0) {
        diagColor = diagDown;
        diagStyle = borders[B::DiagonalDown].LineStyle;
    }

    const uint8_t vertical = uint8_t((format.VerticalAlignment & 0x03) << 4);
    const uint16_t lineStyles = uint16_t((borders[B::Left].LineStyle & 0x0F) | ((borders[B::Right].LineStyle & 0x0F) << 4) |
                                         ((borders[B::Top].LineStyle & 0x0F) << 8) |
                                         ((borders[B::Bottom].LineStyle & 0x0F) << 12));
    uint16_t sideColors = uint16_t((left & 0x7F) | ((right & 0x7F) << 7));
    if (borders[B::DiagonalDown].LineStyle != 0)
        sideColors |= 0x4000;
    if (borders[B::DiagonalUp].LineStyle != 0)
        sideColors |= 0x8000;
    const uint32_t fillPattern = format.FillPattern == 0 ? 0 : fillPatternCode(format.FillPattern);
    const uint32_t topBottom = (top & 0x7F) | ((bottom & 0x7F) << 7) | ((diagColor & 0x7F) << 14) |
                               ((diagStyle & 0x0F) << 21) | ((fillPattern & 0x3F) << 26);
    const uint16_t fillColors = uint16_t((fillFore & 0x7F) | ((fillBack & 0x7F) << 7));
    const uint16_t used = uint16_t(0x7C00 | (merged ? 0x0020 : 0));

    XlsXfBody b{};
    auto put16 = [&](size_t at, uint16_t v) { le::put16(b.data() + at, v); };
    put16(0, fontIndex);
    put16(2, formatIndex);
    put16(4, 0x0001); // a locked cell format whose parent is style XF 0
    b[6] = uint8_t((format.HorizontalAlignment & 0x07) | vertical | (format.WrapText ? 0x08 : 0));
    b[7] = format.Rotation;
    put16(8, used);
    put16(10, lineStyles);
    put16(12, sideColors);
    put16(14, uint16_t(topBottom));
    put16(16, uint16_t(topBottom >> 16));
    put16(18, fillColors);
    return b;
}

} // namespace zent5
