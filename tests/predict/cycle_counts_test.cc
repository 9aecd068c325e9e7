// Counting per cycle and ranking by score.
#include "predict/cycle_counts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "predict/digit_ranking.h"
#include "tests/predict/test_text.h"

namespace corvalith {
namespace {

TEST(CountCycles, CountsEachDigitPerCycleAndDropsTheIncompleteTail) {
    const std::vector<double> values = {1, 2, 1, 3, 1, 1, 0, 9};
    const CycleCounts table = CountCycles(values.data(), 8, 3);
    EXPECT_EQ(table.cycles, 2u);
    const std::vector<std::int32_t> zero = {0, 0};
    for (int d = 0; d < kDigits; ++d) {
        const std::vector<std::int32_t> expected = d == 1   ? std::vector<std::int32_t>{2, 2}
                                                   : d == 2 ? std::vector<std::int32_t>{1, 0}
                                                   : d == 3 ? std::vector<std::int32_t>{0, 1}
                                                            : zero;
        EXPECT_EQ(table.rows[d], expected) << d;  // 0 and 9 of the dropped tail do not count
    }
}

TEST(CountCycles, ValuesOutsideTheDigitsCountForNone) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values = {-16, 10, 1e300, -1e300, nan, inf, -inf, 9.9, -0.5, 3.7};
    const CycleCounts table = CountCycles(values.data(), 10, 10);
    ASSERT_EQ(table.cycles, 1u);
    int total = 0;
    for (int d = 0; d < kDigits; ++d) total += table.rows[d][0];
    EXPECT_EQ(total, 3);  // 9.9 -> 9, -0.5 -> 0, 3.7 -> 3 (truncation toward zero)
    EXPECT_EQ(table.rows[9][0], 1);
    EXPECT_EQ(table.rows[0][0], 1);
    EXPECT_EQ(table.rows[3][0], 1);
}

TEST(RankDigits, DescendingAndStable) {
    EXPECT_EQ(RankDigits({5, 9, 9, 1, 0, 0, 0, 0, 0, 7}),
              (std::array<int, kDigits>{1, 2, 9, 0, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(RankDigits({}), (std::array<int, kDigits>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(testing::ResultUtf8(FormatRanking({1, 2, 9, 0, 3, 4, 5, 6, 7, 8})),
              "パワースペクトル予想: 1, 2, 9, 0, 3, 4, 5, 6, 7, 8");
}

}  // namespace
}  // namespace corvalith
