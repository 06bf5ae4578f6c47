#include "table/dbfformat.h"
#include "table/languagedriver.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>
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

// The stored text is the shortest text of the value rounded half away from
// zero. Worked out here the plain way, on strings, for values of every size
// and the decimals a column can have, including exact and near halves.
std::string roundedShortest(double value, int width, int decimals)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    std::string digits(buf, r.ptr);
    const size_t point = std::min(digits.find('.'), digits.size());
    std::string whole = digits.substr(0, point);
    std::string fraction = point < digits.size() ? digits.substr(point + 1) : "";
    const bool up = fraction.size() > size_t(decimals) && fraction[size_t(decimals)] >= '5';
    fraction.resize(size_t(decimals), '0');
    std::string all = whole + fraction;
    for (size_t i = all.size(); up && i-- > 0;) {
        if (all[i] != '9') {
            ++all[i];
            break;
        }
        all[i] = '0';
        if (i == 0)
            all.insert(all.begin(), '1');
    }
    std::string intPart = all.substr(0, all.size() - size_t(decimals));
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
    std::string text = intPart + (decimals ? "." + all.substr(all.size() - size_t(decimals)) : "");
    if (value < 0 && text.find_first_not_of("0.") != std::string::npos)
        text.insert(text.begin(), '-');
    return text.size() > size_t(width) ? "" : std::string(size_t(width) - text.size(), ' ') + text;
}

TEST(NumberEncoding, EveryValueRoundsItsShortestText)
{
    struct Case {
        double value;
        int decimals;
    };
    std::vector<Case> cases = {{0.125, 2}, {2.675, 2}, {1.005, 2}, {0.5, 0}, {1.5, 0}, {-2.5, 0}, {0.045, 2},
                               {1e-10, 9}, {5e-324, 9}, {1e15, 0}, {123456789.125, 2}, {0.1 + 0.2, 9}, {-0.0, 3}};
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = int(random() % 16);
        const int scale = int(random() % 12);
        // Decimal values as a user or the instrument gives them, the binary
        // neighbours of halves, and plain random doubles.
        const double decimal = double(int64_t(random() % 10000000000ull) - 5000000000ll) / std::pow(10.0, scale);
        const double half = std::trunc(decimal) + 0.5 / std::pow(10.0, decimals);
        const double value = i % 3 == 0   ? decimal
                             : i % 3 == 1 ? std::nextafter(half, random() % 2 ? 0.0 : 1e300)
                                          : std::ldexp(double(random() >> 11), int(random() % 80) - 70);
        cases.push_back({value, decimals});
    }
    for (const Case& c : cases) {
        const int width = 20;
        ASSERT_EQ(dbf::encodeNumber(c.value, width, c.decimals).value_or(""), roundedShortest(c.value, width, c.decimals))
            << c.value << " with " << c.decimals << " decimals";
    }
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

// Stored numbers are read the quick way when they are plain fixed-point
// text; whatever the way, the value is the one the general parser gives,
// to the last bit and the sign of zero.
TEST(NumberDecoding, QuickReadingGivesTheParsersValue)
{
    std::vector<std::string> texts = {"5.", ".5", "-.5", "-0", "-0.000", "0", "00012", "1e5", "-", ".", "-.",
                                      "123456789012345", "1234567890123456", "0.0000000000000000000001",
                                      "0.00000000000000000000001", "000000000000000000001.5", "9007199254740993",
                                      "99999999.999999999", "-9999999.999999999", "1.7976931348623157", "+7",
                                      "1..2", "1-2", "0.1", "0.2", "0.3"};
    std::mt19937_64 random(5);
    for (int i = 0; i < 100000; ++i) {
        const int decimals = int(random() % 12);
        const auto whole = int64_t(random() % 100000000000ull) - 50000000000ll;
        std::string t = std::to_string(whole / int64_t(std::pow(10, random() % 11)));
        if (decimals) {
            t += '.';
            for (int k = 0; k < decimals; ++k)
                t += char('0' + random() % 10);
        }
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        const double expected = dbf::parseDecimal(t, '.').value_or(0.0);
        const std::optional<double> got = dbf::decodeNumber("   " + t + "  ");
        ASSERT_TRUE(got.has_value()) << t;
        EXPECT_TRUE(*got == expected && std::signbit(*got) == std::signbit(expected))
            << t << ": " << *got << " against " << expected;
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
