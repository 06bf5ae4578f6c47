#include "export/xlsstyleregistry.h"
#include "export/xlsworkbook.h"
#include "tests/export/biffbytes.h"

#include <gtest/gtest.h>

using namespace zent5;
using zent5::testing::hex;
using zent5::testing::sameBytes;

namespace {

std::vector<uint8_t> bytesOf(const XlsXfBody& b) { return std::vector<uint8_t>(b.begin(), b.end()); }

TEST(StyleRegistry, DefaultRangeGetsFontFiveAndXf21)
{
    XlsWorkbook book;
    XlsRange& cell = book.AddSheet().Range(0, 0, 0, 0);
    XlsStyleRegistry styles;
    const uint16_t font = styles.AddFont(cell.Format().Font);
    const uint16_t format = styles.AddFormat(cell.Format().NumberFormat);
    const XlsXfBody body = styles.XfBody(cell.Format(), !cell.IsSingleCell(), font, format);
    EXPECT_EQ(font, 5);
    EXPECT_EQ(format, 0);
    EXPECT_TRUE(sameBytes(bytesOf(body), hex("05 00 00 00 01 00 20 00 00 7C 00 00 00 00 00 00 00 00 08 04")));
    EXPECT_EQ(styles.AddXf(body), 21);
    EXPECT_EQ(styles.AddXf(body), 21);
    EXPECT_EQ(styles.FontList().size(), 5u);
    EXPECT_EQ(styles.XFList().size(), 7u);
    EXPECT_FALSE(styles.PaletteChanged());
}

TEST(StyleRegistry, FontsDifferInNameCase)
{
    XlsStyleRegistry styles;
    XlsFont windowText;
    windowText.Color = kXlsWindowTextColor;
    EXPECT_EQ(styles.AddFont(windowText), 1); // equal to the four defaults
    XlsFont a;
    XlsFont b;
    b.Name = "ARIAL";
    EXPECT_EQ(styles.AddFont(a), 5);
    EXPECT_EQ(styles.AddFont(b), 6);
    EXPECT_EQ(styles.AddFont(a), 5);
    XlsFont c = a;
    c.Charset = 204;
    EXPECT_EQ(styles.AddFont(c), 7);
    EXPECT_EQ(styles.FontList().size(), 7u);
}

TEST(StyleRegistry, FormatsIgnoreLetterCase)
{
    struct Case {
        const char* text;
        uint16_t id;
    };
    const Case cases[] = {
        {"", 0},
        {"0.00", 50},
        {"0.000E+00", 51},
        {"0.00", 50},
        {"#,##0\"Р.\";\\-#,##0\"Р.\"", 5}, // a built-in one in capitals
        {"_-* #,##0.00_р_._-;\\-* #,##0.00_р_._-;_-* \"-\"??_р_._-;_-@_-", 43},
        {"DD.MM.YYYY", 52},
        {"dd.mm.yyyy", 52},
    };
    XlsStyleRegistry styles;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(styles.AddFormat(c.text), c.id);
    }
    EXPECT_EQ(styles.FormatList().size(), 11u);
}

TEST(StyleRegistry, ColorIndexTakesFreePaletteEntries)
{
    const XlsColor custom1 = xlsRgb(0x12, 0x34, 0x56);
    const XlsColor custom2 = xlsRgb(0x65, 0x43, 0x21);
    const XlsColor lilac = xlsRgb(0x99, 0x99, 0xFF); // default entry of index 24
    const XlsColor plum = xlsRgb(0x99, 0x33, 0x66);  // default entries 25 and 61
    struct Step {
        XlsColor color;
        uint8_t index;
    };
    const Step steps[] = {
        {xlsRgb(0, 0, 0), 8},
        {kXlsWindowTextColor, 8},
        {xlsRgb(0xFF, 0xFF, 0xFF), 9},
        {xlsRgb(0xFF, 0, 0), 10},
        {lilac, 24},   // found, and now in use
        {custom1, 25}, // 24 is in use, so 25's plum gives way
        {plum, 61},    // the later copy of plum
        {custom2, 26},
        {custom1, 25},
    };
    XlsStyleRegistry styles;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.color);
        EXPECT_EQ(styles.ColorIndex(s.color), s.index);
    }
    EXPECT_TRUE(styles.PaletteChanged());
    EXPECT_EQ(styles.Palette()[25 - 8], custom1);
    EXPECT_EQ(styles.Palette()[26 - 8], custom2);
    EXPECT_EQ(styles.UsedColors().size(), 7u);

    styles.Reset();
    EXPECT_FALSE(styles.PaletteChanged());
    EXPECT_EQ(styles.Palette(), XlsStyleRegistry::DefaultPalette());
}

TEST(StyleRegistry, FullPaletteGivesIndex8)
{
    XlsStyleRegistry styles;
    // 32 entries hold no protected colour (indexes 32 to 39 repeat
    // protected ones); the 33rd new colour finds no room.
    for (int i = 0; i < 32; ++i)
        EXPECT_NE(styles.ColorIndex(xlsRgb(1, 2, uint8_t(i))), 8);
    EXPECT_EQ(styles.ColorIndex(xlsRgb(1, 3, 0)), 8);
    // The sixteen protected colours are still where they were.
    EXPECT_EQ(styles.ColorIndex(xlsRgb(0x80, 0x80, 0x80)), 23);
    EXPECT_EQ(styles.ColorIndex(xlsRgb(0xC0, 0xC0, 0xC0)), 22);
}

TEST(StyleRegistry, XfBodyOfBordersAlignmentAndFill)
{
    struct Case {
        const char* name;
        bool diagonalUpToo;
        const char* body;
    };
    const Case cases[] = {
        {"DiagonalDownOnly", false, "05 00 00 00 01 00 1A 5A 20 7C 21 53 0A 46 18 C4 82 04 8D 04"},
        {"BothDiagonalsTakeUp", true, "05 00 00 00 01 00 1A 5A 20 7C 21 53 0A C6 18 C4 E5 04 8D 04"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XlsWorkbook book;
        XlsRange& r = book.AddSheet().Range(0, 0, 1, 1);
        r.Format().HorizontalAlignment = 2;
        r.Format().VerticalAlignment = 1;
        r.Format().WrapText = true;
        r.Format().Rotation = 90;
        using B = XlsBorderIndex;
        r.Format().Borders[B::Left] = {xlsRgb(0xFF, 0, 0), 1, 0};
        r.Format().Borders[B::Right] = {xlsRgb(0, 0, 0xFF), 2, 0};
        r.Format().Borders[B::Top] = {xlsRgb(0x12, 0x34, 0x56), 3, 0};
        r.Format().Borders[B::Bottom] = {xlsRgb(0, 0, 0), 5, 0};
        r.Format().Borders[B::DiagonalDown] = {xlsRgb(0, 0xFF, 0), 4, 0};
        if (c.diagonalUpToo)
            r.Format().Borders[B::DiagonalUp] = {xlsRgb(0x80, 0x80, 0x80), 7, 0};
        r.Format().FillPattern = 1;
        r.Format().FillForeColor = xlsRgb(0xFF, 0xFF, 0);
        r.Format().FillBackColor = xlsRgb(0xFF, 0xFF, 0xFF);
        XlsStyleRegistry styles;
        EXPECT_TRUE(sameBytes(bytesOf(styles.XfBody(r.Format(), !r.IsSingleCell(), 5, 0)), hex(c.body)));
        EXPECT_TRUE(styles.PaletteChanged()); // the top edge's colour took entry 24
        EXPECT_EQ(styles.Palette()[24 - 8], xlsRgb(0x12, 0x34, 0x56));
    }
}

TEST(StyleRegistry, EdgeWithoutLineHasNoColour)
{
    XlsWorkbook book;
    XlsRange& r = book.AddSheet().Range(0, 0, 0, 0);
    r.Format().Borders[XlsBorderIndex::Left].Color = xlsRgb(0x12, 0x34, 0x56); // no line style
    XlsStyleRegistry styles;
    EXPECT_TRUE(sameBytes(bytesOf(styles.XfBody(r.Format(), !r.IsSingleCell(), 5, 0)), hex("05 00 00 00 01 00 20 00 00 7C 00 00 00 00 00 00 00 00 08 04")));
    EXPECT_FALSE(styles.PaletteChanged());
}

} // namespace
