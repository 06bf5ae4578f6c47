#include "records/codepagesortkeys.h"
#include "records/collation_icu.h"
#include "records/text.h"

#include "common/hexbytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <thread>

using namespace zent5;
using text::CodePageSortKeys;

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// The order the fast keys must give: the collator's on the decoded texts.
int collatorOrder(int codePage, const std::string& a, const std::string& b)
{
    return sign(text::russianCollation().compare(text::fromCodePage(codePage, a), text::fromCodePage(codePage, b)));
}

int keyOrder(const CodePageSortKeys& keys, const std::string& a, const std::string& b)
{
    return sign(keys.key(a).compare(keys.key(b)));
}

std::string hex(std::string_view bytes) { return zent5::testing::hexBytes(bytes); }

void expectSameOrder(int codePage, const CodePageSortKeys& keys, const std::string& a, const std::string& b)
{
    const int expected = collatorOrder(codePage, a, b);
    EXPECT_EQ(keyOrder(keys, a, b), expected) << "bytes " << hex(a) << "vs " << hex(b) << "(" << text::fromCodePage(codePage, a)
                                              << " vs " << text::fromCodePage(codePage, b) << ")";
}

// Words and comments as users type them; each code page gets those it holds.
const char* const kTexts[] = {
    "", " ", "  ", "\t", "а", "А", "б", "я", "Я", "е", "Е", "ё", "Ё", "ж",
    "ёж", "еж", "Ёж", "ель", "Ель", "ЕЛЬ", "жук", "яма", "Яма", "ёлка", "елка", "Ёлка", "Елка", "ЕЛКА", "ёлки", "елки",
    "абв", "Абв", "аБв", "абв ", "абв  ", "абв\t", "абв\x01", "аб в", "аб  в", "аб-в", "аб_в", "аб.в", "аб,в",
    "zeta", "Zeta", "ZETA", "anchor", "Anchor", "anchor 12", "a", "A", "z", "Z",
    "0", "1", "9", "10", "12", "1 2", "12,5", "12.5", "12-5", "012", "2", "20",
    "№", "№1", "№ 1", "№12", "№2", "N1", "No1", "No 1", "N 1", "#1", "no1",
    "проба", "проба ", "Проба", "ПРОБА", "проба 1", "проба 2", "проба 10", "проба  2", "проба-1", "проба.",
    "проба №1", "проба №2", "проба № 1", "проба No1", "проба!", "проба?", "(проба)", "\"проба\"", "«проба»",
    "образец канат №12", "образец канат №2", "Образец канат №12", "образец Канат №12", "образец проволока",
    "испытание разрыв", "испытание  разрыв", "испытание-разрыв", "испытание; разрыв", "испытание, разрыв",
    "Южный объект", "южный объект", "Южный Объект", "Ёлка партия 5", "Елка партия 5", "елка партия 5",
    "щит", "Щит", "ъ", "ь", "ы", "э", "ю", "й", "и", "Й", "И",
    "брак…", "брак...", "брак™", "брак TM", "брак°", "брак°C", "брак §2", "брак ±1", "a\xc2\xa0" "b", "a b",
};

std::vector<std::string> textsHeldBy(int codePage)
{
    std::vector<std::string> held;
    for (const char* t : kTexts) {
        const std::string bytes = text::toCodePage(codePage, t);
        if (text::fromCodePage(codePage, bytes) == t)
            held.push_back(bytes);
    }
    return held;
}

class RussianCodePages : public ::testing::TestWithParam<int> {};

TEST_P(RussianCodePages, WordsSortAsTheCollatorSortsThem)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    ASSERT_TRUE(keys.usable());
    const std::vector<std::string> texts = textsHeldBy(codePage);
    ASSERT_GT(texts.size(), std::size(kTexts) * 4 / 5);
    for (const std::string& a : texts)
        for (const std::string& b : texts)
            expectSameOrder(codePage, keys, a, b);
}

TEST_P(RussianCodePages, KnownOrders)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    auto key = [&](const char* utf8) { return keys.key(text::toCodePage(codePage, utf8)); };
    // Digits before Latin before Cyrillic, "№" as the Latin "No", Ё with Е
    // (an accent counts only between otherwise equal texts), lower case
    // before upper, a text before its longer forms.
    const char* const ascending[] = {"",     " ",    "12",   "anchor", "Anchor", "№1",  "zeta", "ёж",   "елка",
                                     "Елка", "ёлка", "Ёлка", "ель",    "Ель",    "жук", "яма",  "яма 1"};
    for (size_t i = 1; i < std::size(ascending); ++i) {
        SCOPED_TRACE(std::string(ascending[i - 1]) + " < " + ascending[i]);
        EXPECT_LT(key(ascending[i - 1]), key(ascending[i]));
    }
    EXPECT_EQ(key("канат"), key("канат"));
    EXPECT_EQ(keys.key(""), "\x01\x01");
}

// Sorted by the collator, each neighbour pair of the texts must compare
// alike under the fast keys, which makes the two orders one.
void expectSameOrderOfAll(int codePage, const CodePageSortKeys& keys, const std::vector<std::string>& texts)
{
    std::vector<std::string> collatorKeys, fastKeys;
    for (const std::string& t : texts) {
        collatorKeys.push_back(text::russianSortKey(text::fromCodePage(codePage, t)));
        fastKeys.push_back(keys.key(t));
    }
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return collatorKeys[a] < collatorKeys[b]; });
    int failures = 0;
    for (size_t k = 1; k < order.size() && failures < 10; ++k) {
        const size_t a = order[k - 1], b = order[k];
        const int expected = collatorOrder(codePage, texts[a], texts[b]);
        ASSERT_LE(expected, 0) << "the collator's keys disagree with its comparison";
        if (sign(fastKeys[a].compare(fastKeys[b])) != expected) {
            ++failures;
            ADD_FAILURE() << "bytes " << hex(texts[a]) << "vs " << hex(texts[b]);
        }
    }
}

TEST_P(RussianCodePages, EveryTextOfTwoBytesAtMost)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    ASSERT_TRUE(keys.usable());
    std::vector<std::string> texts{""};
    for (int a = 0; a < 256; ++a) {
        texts.push_back(std::string(1, char(a)));
        for (int b = 0; b < 256; ++b)
            texts.push_back(std::string{char(a), char(b)});
    }
    expectSameOrderOfAll(codePage, keys, texts);
}

// Long stretches without accent or capital, broken at every length up to
// past any run the keys write in one byte, by greater and smaller weights
// and by the text's end.
TEST_P(RussianCodePages, LongPlainStretches)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    ASSERT_TRUE(keys.usable());
    auto bytes = [&](const char* utf8) { return text::toCodePage(codePage, utf8); };
    const std::string plain = bytes("а");
    const std::string breaks[] = {"", bytes("ё"), bytes("А"), bytes("Ё"), bytes("ё") + plain + plain, bytes("\t"), bytes("№"), bytes("1")};
    std::vector<std::string> texts;
    for (size_t length = 1; length <= 520; ++length) {
        std::string stretch;
        for (size_t i = 0; i < length; ++i)
            stretch += plain;
        for (const std::string& end : breaks) {
            texts.push_back(stretch + end);
            texts.push_back(end + stretch);
        }
        texts.push_back(stretch + bytes("ё") + stretch);
    }
    expectSameOrderOfAll(codePage, keys, texts);
}

std::string randomText(std::mt19937& random, const std::string& alphabet, size_t maxLength)
{
    std::string s(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
    for (char& c : s)
        c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
    return s;
}

// Random pairs: unrelated texts, texts differing in one position, a text and
// its continuation.
void checkRandomPairs(int codePage, const CodePageSortKeys& keys, const std::string& alphabet, int pairs)
{
    std::mt19937 random(20261210);
    for (int i = 0; i < pairs && !::testing::Test::HasFailure(); ++i) {
        const std::string a = randomText(random, alphabet, 12);
        expectSameOrder(codePage, keys, a, randomText(random, alphabet, 12));
        if (!a.empty()) {
            std::string b = a;
            b[std::uniform_int_distribution<size_t>(0, a.size() - 1)(random)] = randomText(random, alphabet, 1).append(1, 'x')[0];
            expectSameOrder(codePage, keys, a, b);
        }
        expectSameOrder(codePage, keys, a, a + randomText(random, alphabet, 3));
    }
}

std::string everyByte()
{
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

TEST_P(RussianCodePages, RandomPairsOverEveryByte)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    ASSERT_TRUE(keys.usable());
    checkRandomPairs(codePage, keys, everyByte(), 20000);
}

TEST_P(RussianCodePages, RandomPairsOverCommentCharacters)
{
    const int codePage = GetParam();
    const CodePageSortKeys keys(codePage);
    ASSERT_TRUE(keys.usable());
    // Few distinct characters, so pairs often agree at the primary level and
    // are told apart by accents or case.
    const std::string alphabet = text::toCodePage(codePage, "еЕёЁжЖaAбБ 1№N.-");
    checkRandomPairs(codePage, keys, alphabet, 20000);
}

INSTANTIATE_TEST_SUITE_P(CodePageSortKeys, RussianCodePages, ::testing::Values(1251, 866),
                         [](const ::testing::TestParamInfo<int>& info) { return "cp" + std::to_string(info.param); });

// Whatever other single-byte code page the keys accept must sort as the
// collator does too.
TEST(CodePageSortKeys, OtherAcceptedCodePagesSortAsTheCollator)
{
    int checked = 0;
    for (const int codePage : {437, 737, 850, 852, 857, 860, 861, 862, 863, 865, 874, 1250, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10000, 10007}) {
        const CodePageSortKeys keys(codePage);
        if (!keys.usable())
            continue;
        SCOPED_TRACE("code page " + std::to_string(codePage));
        checkRandomPairs(codePage, keys, everyByte(), 2000);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST(CodePageSortKeys, RefusesCodePagesWhoseCharactersAreNotAlone)
{
    struct Case {
        int codePage;
        const char* why;
    };
    const Case cases[] = {
        {932, "multi-byte"},
        {936, "multi-byte"},
        {949, "multi-byte"},
        {950, "multi-byte"},
        {874, "Thai vowels written first join the next consonant"},
        {12345, "not installed"},
    };
    int refused = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + ": " + c.why);
        if (c.codePage != 12345 && !text::codePageInstalled(c.codePage))
            continue;
        const CodePageSortKeys keys(c.codePage);
        EXPECT_FALSE(keys.usable());
        ++refused;
    }
    EXPECT_GE(refused, 2);
}

TEST(CodePageSortKeys, RefusedCodePageStillSortsThroughTheCollator)
{
    const CodePageSortKeys keys(932);
    if (keys.usable() || !text::codePageInstalled(932))
        GTEST_SKIP() << "code page 932 is not installed";
    const std::string a = text::toCodePage(932, "ёж"), b = text::toCodePage(932, "ель"), c = text::toCodePage(932, "日本");
    EXPECT_EQ(keys.key(a), text::russianSortKey("ёж"));
    EXPECT_LT(keys.key(a), keys.key(b));
    EXPECT_EQ(keyOrder(keys, b, c), collatorOrder(932, b, c));
}

TEST(CodePageSortKeys, OneSetOfKeysPerCodePageSharedByThreads)
{
    const std::string text = text::toCp1251("образец канат №12");
    const CodePageSortKeys* seen[2] = {};
    std::string made[2];
    auto work = [&](int k) {
        const CodePageSortKeys& keys = CodePageSortKeys::forCodePage(1251);
        seen[k] = &keys;
        made[k] = keys.key(text);
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &CodePageSortKeys::forCodePage(1251));
    EXPECT_NE(seen[0], &CodePageSortKeys::forCodePage(866));
    EXPECT_EQ(seen[0]->codePage(), 1251);
    EXPECT_EQ(made[0], made[1]);
    EXPECT_EQ(made[0], CodePageSortKeys(1251).key(text));
}

} // namespace
