#include "stats/fractilefactor.h"

#include <gtest/gtest.h>

#include <cstddef>

using zent5::stats::fractileFactor;

TEST(FractileFactor, ListedValuesExactlyAndNothingBelowThree)
{
    const struct {
        size_t n;
        double k;
    } listed[] = {{3, 3.37}, {4, 2.63}, {5, 2.33}, {6, 2.18}, {8, 2.00}, {10, 1.92}, {20, 1.76}, {30, 1.73}};
    for (const auto& c : listed) {
        SCOPED_TRACE(c.n);
        ASSERT_TRUE(fractileFactor(c.n));
        EXPECT_EQ(*fractileFactor(c.n), c.k);
    }
    EXPECT_FALSE(fractileFactor(0));
    EXPECT_FALSE(fractileFactor(1));
    EXPECT_FALSE(fractileFactor(2));
}

TEST(FractileFactor, LinearInOneOverN)
{
    const struct {
        const char* name;
        size_t n;
        double k;
    } cases[] = {
        // 1/7 lies 4/7 of the way from 1/6 to 1/8.
        {"n 7, between 6 and 8", 7, 2.18 - 0.18 * 4 / 7},
        // 1/24 is the midpoint of 1/20 and 1/30.
        {"n 24, midpoint of 20 and 30", 24, (1.76 + 1.73) / 2},
        // 1/25 lies 0.6 of the way from 1/20 to 1/30.
        {"n 25, between 20 and 30", 25, 1.76 - 0.03 * 0.6},
        // 1/60 is the midpoint of 1/30 and 0.
        {"n 60, midpoint of 30 and infinity", 60, (1.73 + 1.64) / 2},
        {"n 1000", 1000, 1.64 + 0.09 * 30 / 1000},
        {"n 10^9", 1000000000, 1.64 + 2.7e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fractileFactor(c.n));
        EXPECT_NEAR(*fractileFactor(c.n), c.k, 1e-12);
    }
}

TEST(FractileFactor, FallsWithEveryFurtherRow)
{
    for (size_t n = 4; n <= 2000; ++n) {
        SCOPED_TRACE(n);
        EXPECT_LT(*fractileFactor(n), *fractileFactor(n - 1));
        EXPECT_GT(*fractileFactor(n), 1.64);
    }
}
