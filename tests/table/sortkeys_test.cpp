#include "table/sortkeys.h"

#include "records/text.h"
#include "table/dbfformat.h"

#include "common/hexbytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace zent5;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

std::string hex(std::string_view bytes) { return zent5::testing::hexBytes(bytes); }

} // namespace

// The quick key of a stored number is the decoded number rounded to 15
// significant digits, whatever the stored text.
TEST(NumberSortKey, GivesTheRoundedDecodedNumber)
{
    std::vector<std::string> stored = {
        "                  ", "       0.000000000", "      -0.000000000", "      -1.500000000", "abc", "  1,5  ",
        "1e5", "-", ".", "-.", "  12.5            ", "0.0000000000000000000001", "0.00000000000000000000001",
        "123456789012345", "1234567890123456", "1234567890123455", "1234567890123449", "-999999999999999.5",
        "12345678901234567890123", "1234567890123456789012345", "99999999.999999999", "0.1234567890123456",
        "0.1234567890123455", "000000000000000000001.5", "9007199254740993", "1..2", "1-2", "+7", " 7 7 "};
    std::mt19937_64 random(20140307);
    for (int i = 0; i < 100000; ++i) {
        // Values as the table stores them, in its 18.9 columns and in
        // columns of other widths and decimals other programs wrote.
        const int decimals = int(random() % 12);
        const double value = double(int64_t(random() % 2000000000000ull) - 1000000000000ll) /
                             std::pow(10.0, int(random() % 13));
        if (const auto s = dbf::encodeNumber(value, 18 + int(random() % 4) * 4, decimals))
            stored.push_back(*s);
        // Long digit strings, rounding at the sixteenth digit.
        std::string digits(size_t(1 + random() % 24), '0');
        for (char& c : digits)
            c = char('0' + random() % 10);
        if (random() % 2)
            digits.insert(size_t(random() % digits.size()), 1, '.');
        stored.push_back((random() % 3 == 0 ? "-" : "") + digits);
    }
    for (const std::string& s : stored)
        ASSERT_EQ(numberSortKey(s), numberSortKeyReference(s)) << '"' << s << '"';
}

namespace {

struct TextTable {
    const char* name;
    uint8_t language;
    int codePage;
};

class TextSortKeysOf : public ::testing::TestWithParam<TextTable> {};

// Stored texts as a column of `width` holds them, padded with spaces, made
// of the given characters.
std::vector<std::string> storedTexts(const std::string& alphabet, size_t width, int count)
{
    std::mt19937 random(20261210);
    std::vector<std::string> texts = {std::string(width, ' ')};
    for (int i = 0; i < count; ++i) {
        std::string t(random() % (width + 1), ' ');
        for (char& c : t)
            c = alphabet[random() % alphabet.size()];
        texts.push_back(t + std::string(width - t.size(), ' '));
        // The same text with a different end, so neighbours share beginnings.
        std::string u = texts.back();
        u[random() % width] = alphabet[random() % alphabet.size()];
        texts.push_back(u);
    }
    return texts;
}

// Characters that meet in comments: letters of both cases with Ё, digits,
// punctuation, spaces inside and at the end; with `controls` also tabs,
// other control bytes and the soft hyphen, which weigh less than a space
// or nothing.
std::string alphabetOf(int codePage, bool controls)
{
    if (codePage == 0)
        return controls ? std::string("aAbB zZ09.-\t\x01\xE0\xC0\xB8\xA8\xFF") : std::string("aAbB zZ09.-\xE0\xC0\xB8\xA8\xFF");
    return text::toCodePage(codePage, controls ? "аАбБеЕёЁжЖяЯ  zZaA09.,-№\t\x01\u00AD" : "аАбБеЕёЁжЖяЯ  zZaA09.,-№");
}

} // namespace

// Keys made from the code page's bytes order the stored texts of a column
// as the collator orders the whole decoded texts: without the padding where
// every text of the column allows that, with it otherwise.
TEST_P(TextSortKeysOf, OrderAsTheCollatorOrdersTheDecodedTexts)
{
    const TextTable table = GetParam();
    const CodePage codePage(table.codePage == 0 ? 1251 : table.codePage);
    auto reference = [&](const std::string& stored) {
        return table.language == 0 ? stored : text::russianSortKey(text::fromCodePage(table.codePage, stored));
    };
    for (bool controls : {false, true}) {
        for (size_t width : {size_t(1), size_t(10), size_t(100)}) {
            SCOPED_TRACE(std::string(controls ? "with controls, width " : "width ") + std::to_string(width));
            const std::vector<std::string> texts = storedTexts(alphabetOf(table.codePage, controls), width, 4000);
            bool withPadding = false;
            for (const std::string& t : texts)
                withPadding = withPadding || !TextSortKeys(table.language, codePage, false).paddingCanGo(t);
            // Plain texts take the short keys; only the others need their padding.
            EXPECT_EQ(withPadding, controls && table.language != 0);
            const TextSortKeys keys(table.language, codePage, withPadding);
            std::vector<std::string> quick, plain;
            for (const std::string& t : texts) {
                quick.push_back(keys.key(t));
                plain.push_back(reference(t));
            }
            // Sorted by the reference, each pair of neighbours must compare
            // alike under the quick keys, which makes the two orders one.
            std::vector<size_t> order(texts.size());
            std::iota(order.begin(), order.end(), size_t(0));
            std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return plain[a] < plain[b]; });
            int failures = 0;
            for (size_t k = 1; k < order.size() && failures < 10; ++k) {
                const size_t a = order[k - 1], b = order[k];
                if (sign(quick[a].compare(quick[b])) != sign(plain[a].compare(plain[b]))) {
                    ++failures;
                    ADD_FAILURE() << "bytes " << hex(texts[a]) << "vs " << hex(texts[b]);
                }
            }
        }
    }
}

// A whole column's keys, each distinct text keyed once (by two threads when
// there are many), are the keys of its texts one by one; the column tells
// when a text needs the keys with padding.
TEST_P(TextSortKeysOf, ColumnKeysAreTheKeysOfEachText)
{
    const TextTable table = GetParam();
    const CodePage codePage(table.codePage == 0 ? 1251 : table.codePage);
    for (bool controls : {false, true}) {
        for (int distinct : {3, 20000}) {
            SCOPED_TRACE(std::string(controls ? "with controls, " : "") + std::to_string(distinct) + " texts");
            std::vector<std::string> pool = storedTexts(alphabetOf(table.codePage, controls), 100, distinct / 2);
            if (controls)
                pool.push_back("\t" + std::string(99, ' '));
            std::mt19937 random(7);
            std::vector<std::string> rows;
            for (size_t i = 0; i < pool.size() * 3; ++i)
                rows.push_back(pool[i < pool.size() ? i : random() % pool.size()]);
            for (bool withPadding : {false, true}) {
                const TextSortKeys keys(table.language, codePage, withPadding);
                TextKeyColumn column(keys, uint32_t(rows.size()), 100);
                for (uint32_t r = 0; r < rows.size(); ++r)
                    column.add(r, rows[r]);
                EXPECT_EQ(column.needsPadding(), !withPadding && controls && table.language != 0);
                std::vector<SortKey> got(rows.size());
                column.takeInto(got);
                for (size_t r = 0; r < rows.size(); ++r)
                    ASSERT_EQ(got[r].text, keys.key(rows[r])) << "row " << r << ": " << hex(rows[r]);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, TextSortKeysOf,
                         ::testing::Values(TextTable{"Russian1251", 0xC9, 1251}, TextTable{"Russian866", 0x26, 866},
                                           TextTable{"NoLanguage", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });
