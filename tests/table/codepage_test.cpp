#include "table/codepage.h"

#include "records/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace zent5;

// A single-byte code page converts through tables made once; what they give
// is what the text seam's converter gives for every byte and for texts of
// characters the code page holds, lacks, or holds twice.
class CodePageTables : public ::testing::TestWithParam<int> {};

TEST_P(CodePageTables, ConvertAsTheTextSeamConverts)
{
    const int number = GetParam();
    const CodePage codePage(number);
    ASSERT_TRUE(codePage.installed());
    // Below 0x80 every code page a table names is ASCII, also where the
    // converter swaps a few control characters about (the IBM pages).
    std::string ascii, high;
    for (int b = 0; b < 256; ++b)
        (b < 0x80 ? ascii : high) += char(b);
    EXPECT_EQ(codePage.decode(ascii), ascii);
    EXPECT_EQ(codePage.encode(ascii), ascii);
    EXPECT_EQ(codePage.decode(high), text::fromCodePage(number, high));

    // The code page's own characters, and some it lacks: Greek, CJK, a sign.
    std::vector<std::string> characters;
    for (int b = 0x20; b < 0x7F; ++b)
        characters.push_back(std::string(1, char(b)));
    for (int b = 0x80; b < 256; ++b) {
        const std::string c = text::fromCodePage(number, std::string(1, char(b)));
        if (c != "\xEF\xBF\xBD")
            characters.push_back(c);
    }
    for (const char* lacking : {"σ", "日", "€", "Ω", "𝄞"})
        characters.push_back(lacking);
    std::mt19937 random(1251);
    for (int i = 0; i < 5000; ++i) {
        std::string utf8;
        for (int k = int(random() % 30); k > 0; --k)
            utf8 += characters[random() % characters.size()];
        ASSERT_EQ(codePage.encode(utf8), text::toCodePage(number, utf8)) << utf8;
        const std::string bytes = codePage.encode(utf8);
        ASSERT_EQ(codePage.decode(bytes), text::fromCodePage(number, bytes)) << utf8;
        // Cut to a column's width, the text keeps its first characters whole.
        std::string cut(10, '\0');
        cut.resize(codePage.encodeInto(utf8, cut.data(), cut.size()));
        ASSERT_EQ(cut, bytes.substr(0, 10)) << utf8;
    }
}

INSTANTIATE_TEST_SUITE_P(SingleByte, CodePageTables, ::testing::Values(1251, 866, 1252, 437),
                         [](const auto& info) { return "cp" + std::to_string(info.param); });
