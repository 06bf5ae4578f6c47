#include "table/dbfformat.h"
#include "table/languagedriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zent5;

TEST(NumberEncoding, FixedPointRightAligned)
{
    struct Case {
        double value;
        const char* stored;
    } cases[] = {
        {0, "       0.000000000"},
        {1, "       1.000000000"},
        {-1.5, "      -1.500000000"},
        {655.35, "     655.350000000"},
        {12.34, "      12.340000000"},
        {0.283, "       0.283000000"},
        {1258, "    1258.000000000"},
        {0.0000000005, "       0.000000001"}, // halves away from zero
        {-0.0000000005, "      -0.000000001"},
        {0.0009765625, "       0.000976563"}, // exactly a half in binary too
        {-0.0000000001, "       0.000000000"},
        {99999999.999999999, " 100000000.000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const auto s = dbf::encodeNumber(c.value, 18, 9);
        if (std::string(c.stored).size() > 18) {
            EXPECT_FALSE(s.has_value());
            continue;
        }
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(*s, c.stored);
    }
}

TEST(NumberEncoding, RefusesWhatDoesNotFit)
{
    EXPECT_TRUE(dbf::encodeNumber(99999999.5, 18, 9).has_value());
    EXPECT_FALSE(dbf::encodeNumber(100000000, 18, 9).has_value());
    EXPECT_TRUE(dbf::encodeNumber(-9999999.5, 18, 9).has_value());
    EXPECT_FALSE(dbf::encodeNumber(-10000000, 18, 9).has_value());
    EXPECT_FALSE(dbf::encodeNumber(std::numeric_limits<double>::infinity(), 18, 9).has_value());
    EXPECT_FALSE(dbf::encodeNumber(std::nan(""), 18, 9).has_value());
    EXPECT_EQ(*dbf::encodeNumber(42.6, 4, 0), "  43");
}

TEST(NumberDecoding, SpacesAreNullLettersAreZero)
{
    struct Case {
        const char* stored;
        std::optional<double> value;
    } cases[] = {
        {"                  ", std::nullopt},
        {"       1.000000000", 1.0},
        {"      -1.500000000", -1.5},
        {"  12.5            ", 12.5},
        {"abc               ", 0.0},
        {"       1,5        ", 0.0},
        {"     12.34.5      ", 0.0},
        {"   inf            ", 0.0},
        {"   +7             ", 7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(dbf::decodeNumber(c.stored), c.value);
    }
}

TEST(TextEncoding, PaddedCutAndStripped)
{
    EXPECT_EQ(dbf::encodeText("abc", 5), "abc  ");
    EXPECT_EQ(dbf::encodeText("abcdefg", 5), "abcde");
    EXPECT_EQ(dbf::encodeText("", 3), "   ");
    EXPECT_EQ(dbf::decodeText(" a   "), std::optional<std::string_view>(" a"));
    EXPECT_EQ(dbf::decodeText("a    "), std::optional<std::string_view>("a"));
    EXPECT_EQ(dbf::decodeText("     "), std::nullopt);
}

TEST(VersionByte, AcceptedFamilies)
{
    for (int v : {0x02, 0x03, 0x04, 0x05, 0x83, 0x8B, 0x30, 0x31, 0xF5, 0xFB, 0x43, 0x63})
        EXPECT_TRUE(dbf::versionAccepted(uint8_t(v))) << v;
    for (int v : {0x00, 0x01, 0x06, 0x07, 0x08, 0xFF, 0x36})
        EXPECT_FALSE(dbf::versionAccepted(uint8_t(v))) << v;
}

TEST(LanguageDriver, RussianSystemGivesC9)
{
    EXPECT_EQ(language::systemDefault(1251, 0x0419), 0xC9);
    // Code page 866 with the Russian locale: 0x26 is in the preferred range.
    EXPECT_EQ(language::systemDefault(866, 0x0419), 0x26);
    // No entry for the code page: the locale alone decides (highest in range).
    EXPECT_EQ(language::systemDefault(1252, 0x0419), 0x26);
    EXPECT_EQ(language::systemDefault(1252, 0x0409), 0x37);
    EXPECT_EQ(language::tableCodePage(0xC9, 1251), 1251);
    EXPECT_EQ(language::tableCodePage(0x00, 1251), 1251);
    EXPECT_EQ(language::tableCodePage(0x65, 1251), 866);
    EXPECT_EQ(language::tableCodePage(0xFE, 1251), 1251);
}
