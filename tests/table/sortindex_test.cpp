#include "table/sortindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace zent5;

namespace {

std::vector<uint32_t> recordOrder(const SortIndex& index)
{
    std::vector<uint32_t> order;
    for (const auto& e : index.entries())
        order.push_back(e.recNo);
    return order;
}

// Numbers in the order a plain comparison gives, equal numbers (0 and -0
// among them) in record order.
std::vector<uint32_t> expectedOrder(const std::vector<double>& numbers, bool descending)
{
    std::vector<uint32_t> order(numbers.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i + 1;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const double x = numbers[a - 1], y = numbers[b - 1];
        return descending ? x > y : x < y;
    });
    return order;
}

} // namespace

TEST(SortIndexNumbers, EveryMagnitudeAndSignInBothDirections)
{
    std::vector<double> numbers = {0.0, -0.0, 5, -5, 0.0, 1e300, -1e300, std::numeric_limits<double>::denorm_min(),
                                   -std::numeric_limits<double>::denorm_min(), 5, 12.5, -0.0, 99999999.999999999};
    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        // Few distinct values, so ties are common, over several magnitudes.
        const double v = double(int(random() % 201) - 100) * std::pow(10.0, int(random() % 9) - 4);
        numbers.push_back(v);
    }
    for (bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        std::vector<SortKey> keys;
        for (double v : numbers)
            keys.push_back(SortKey{v, {}});
        SortIndex index;
        index.reset(SortIndex::Kind::Number, descending);
        index.build(std::move(keys));
        EXPECT_EQ(recordOrder(index), expectedOrder(numbers, descending));
    }
}

TEST(SortIndexTexts, SharedBeginningsZeroBytesAndEqualKeysInBothDirections)
{
    // Keys drawn from a few pieces, so that many share their first 8, 16,
    // 24 bytes, some are beginnings of others (also with zero bytes after
    // them), and some are equal.
    const std::vector<std::string> pieces = {"", std::string(1, '\0'), std::string("\0\0", 2), "a", "ab", "abcdefgh",
                                             "abcdefgi", "\xff\xfe", "zzzzzzzzzzzz"};
    std::mt19937 random(11);
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) {
        std::string t;
        for (int k = int(random() % 6); k > 0; --k)
            t += pieces[random() % pieces.size()];
        texts.push_back(t);
    }
    for (bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        std::vector<SortKey> keys;
        for (const auto& t : texts)
            keys.push_back(SortKey{0, t});
        SortIndex index;
        index.reset(SortIndex::Kind::Text, descending);
        index.build(std::move(keys));
        std::vector<uint32_t> expected(texts.size());
        for (uint32_t i = 0; i < expected.size(); ++i)
            expected[i] = i + 1;
        std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
            const int c = texts[a - 1].compare(texts[b - 1]);
            return descending ? c > 0 : c < 0;
        });
        EXPECT_EQ(recordOrder(index), expected);
    }
}
