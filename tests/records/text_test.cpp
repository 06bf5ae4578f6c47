#include "records/text.h"

#include <gtest/gtest.h>

using namespace zent5;

TEST(TextSeam, Cp1251RoundTrip)
{
    const std::string utf8 = "Примечание ЁЖ №1";
    const std::string bytes = text::toCp1251(utf8);
    EXPECT_EQ(bytes.size(), 16u);
    EXPECT_EQ(uint8_t(bytes[0]), 0xCF);  // П
    EXPECT_EQ(uint8_t(bytes[11]), 0xA8); // Ё
    EXPECT_EQ(uint8_t(bytes[14]), 0xB9); // №
    EXPECT_EQ(text::fromCp1251(bytes), utf8);
}

TEST(TextSeam, FitsCp1251)
{
    EXPECT_TRUE(text::fitsCp1251("проволока canat 12,5 ?"));
    EXPECT_FALSE(text::fitsCp1251("σ"));
    EXPECT_FALSE(text::fitsCp1251("日本"));
}

TEST(TextSeam, RussianOrder)
{
    // Ё sorts with Е, not after Я as its code would put it.
    EXPECT_LT(text::russianSortKey("ёж"), text::russianSortKey("ель"));
    EXPECT_LT(text::russianSortKey("ель"), text::russianSortKey("жук"));
    EXPECT_LT(text::russianSortKey("ёж"), text::russianSortKey("яма"));
    EXPECT_LT(text::russianSortKey("абв"), text::russianSortKey("Абв")); // case-sensitive, lower first
    EXPECT_EQ(text::russianSortKey("канат"), text::russianSortKey("канат"));
    // Latin text sorts before Cyrillic, digits before both.
    EXPECT_LT(text::russianSortKey("zeta"), text::russianSortKey("анкер"));
    EXPECT_LT(text::russianSortKey("12"), text::russianSortKey("anchor"));
}

TEST(TextSeam, OtherCodePages)
{
    EXPECT_TRUE(text::codePageInstalled(866));
    EXPECT_EQ(text::fromCodePage(866, "\x8F"), "П");
    EXPECT_EQ(uint8_t(text::toCodePage(866, "П")[0]), 0x8F);
    EXPECT_FALSE(text::codePageInstalled(12345));
}
