// The remaining time of a run: at the pace so far, once it can tell.
#include "ui/analysis/run_estimate.h"

#include <gtest/gtest.h>

namespace corvalith {
namespace {

TEST(RemainingSeconds, AtThePaceSoFarOnceItCanTell) {
    const struct {
        std::int64_t elapsedMs, done, total;
        std::optional<std::int64_t> left;
    } cases[] = {
        {10000, 500, 1000, 10},            // half done in 10 s
        {3000, 100, 1000, 27},             // a tenth in 3 s
        {1500, 20, 1000, 74},              // 2 %: 73.5 s, rounded up
        {5000, 19, 1000, std::nullopt},    // under 2 %
        {999, 900, 1000, std::nullopt},    // under a second gone
        {5000, 1000, 1000, std::nullopt},  // nothing left
        {5000, 10, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RemainingSeconds(c.elapsedMs, c.done, c.total), c.left)
            << c.elapsedMs << " " << c.done << "/" << c.total;
    }
}

TEST(RemainingText, SecondsUpToTwoMinutesThenMinutes) {
    EXPECT_EQ(RemainingText(7), "残り約 7 秒");
    EXPECT_EQ(RemainingText(120), "残り約 120 秒");
    EXPECT_EQ(RemainingText(121), "残り約 2 分");
    EXPECT_EQ(RemainingText(150), "残り約 3 分");
    EXPECT_EQ(RemainingText(600), "残り約 10 分");
}

}  // namespace
}  // namespace corvalith
