// 1-2-5 ticks for ranges of every size, as the axes use them.
#include "ui/analysis/nice_ticks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvalith {
namespace {

TEST(NiceTicks, WorkedRanges) {
    const struct {
        double low, high;
        int most;
        double first, step;
    } cases[] = {
        {0, 1, 6, 0, 0.2},          {0.05, 0.25, 6, 0.05, 0.05}, {16, 7054, 8, 1000, 1000},
        {16, 3535, 8, 500, 500},    {0, 9.5, 10, 0, 1},          {-37.2, 41.9, 8, -30, 10},
        {0, 844.1, 6, 0, 200},      {3, 3.001, 5, 3, 0.0005},    {-1, 1, 2, 0, 2},
        {6500, 6501, 4, 6500, 0.5},
    };
    for (const auto& c : cases) {
        const Ticks ticks = NiceTicks(c.low, c.high, c.most);
        EXPECT_NEAR(ticks.step, c.step, c.step * 1e-12) << c.low << " " << c.high;
        EXPECT_NEAR(ticks.first, c.first, c.step * 1e-9) << c.low << " " << c.high;
    }
}

TEST(NiceTicks, EveryStepIsOneTwoOrFiveTimesAPowerOfTenAndTheTicksFit) {
    for (double low = -1234.5; low < 1000; low += 97.3) {
        for (double span = 1e-3; span < 1e6; span *= 3.7) {
            for (const int most : {2, 5, 8, 12}) {
                const Ticks ticks = NiceTicks(low, low + span, most);
                const double mantissa =
                    ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step)));
                EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                            std::abs(mantissa - 5) < 1e-9)
                    << ticks.step;
                const std::vector<double> values = TickValues(ticks, low, low + span);
                EXPECT_LE(static_cast<int>(values.size()), most);
                EXPECT_GE(values.size(), 1u) << low << " " << span << " " << most;
                for (const double value : values) {
                    EXPECT_GE(value, low - span * 1e-9);
                    EXPECT_LE(value, low + span * (1 + 1e-9));
                    const double multiple = value / ticks.step;
                    EXPECT_NEAR(multiple, std::round(multiple), 1e-6);
                }
                // A smaller 1-2-5 step would not have fitted.
                const double smaller =
                    mantissa > 1.5 ? ticks.step / (mantissa > 3 ? 2.5 : 2) : ticks.step / 2;
                const double first = std::ceil(low / smaller - 1e-9) * smaller;
                EXPECT_GT(std::floor((low + span - first) / smaller + 1e-9) + 1, most);
            }
        }
    }
}

TEST(NiceTicks, AnEmptyRangeHasOneTick) {
    const Ticks ticks = NiceTicks(5, 5, 6);
    EXPECT_EQ(ticks.step, 1);
    EXPECT_EQ(TickValues(ticks, 5, 5), std::vector<double>{5});
}

TEST(DecadeLabel, PlainNearOneAndPowersBeyond) {
    const struct {
        int exponent;
        const char* label;
    } cases[] = {{-1, "0.1"}, {-2, "0.01"}, {-3, "10⁻³"}, {-12, "10⁻¹²"},
                 {0, "1"},    {2, "100"},   {3, "10³"},   {10, "10¹⁰"}};
    for (const auto& c : cases) EXPECT_EQ(DecadeLabel(c.exponent), c.label) << c.exponent;
}

TEST(DecadeBelow, APowerOfTenAtLeastADecadeBelow) {
    const struct {
        double lowest, start;
    } cases[] = {{0.003, 1e-4}, {0.01, 1e-3}, {0.5, 0.01}, {1, 0.1}, {0.0999, 1e-3}, {0, 1e-6}};
    for (const auto& c : cases) {
        EXPECT_NEAR(DecadeBelow(c.lowest), c.start, c.start * 1e-9) << c.lowest;
        if (c.lowest > 0) {
            EXPECT_LE(DecadeBelow(c.lowest), c.lowest / 10 * (1 + 1e-9));
        }
    }
}

}  // namespace
}  // namespace corvalith
