// The share of a run done: it never falls, ends at exactly 1 for the
// backtest and the sweep (on one and on several threads), moves within a
// position's cycles, and changes no result. Every tab's run, randomness
// included, is checked end to end by the analysis command's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "evaluate/backtest.h"
#include "evaluate/sweep.h"
#include "evaluate/walk_forward.h"
#include "tests/evaluate/backtest_reference.h"

namespace corvalith::evaluate {
namespace {

using testing::RandomTable;

// Collects the shares a run reports (from any thread).
struct Shares {
    std::mutex mutex;
    std::vector<double> seen;
    RunControl Control() {
        RunControl control;
        control.share = [this](double share) {
            const std::lock_guard<std::mutex> lock(mutex);
            seen.push_back(share);
        };
        return control;
    }
    void ExpectRisingToOne() const {
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GE(seen.front(), 0.0);
        EXPECT_EQ(seen.back(), 1.0);
    }
};

TEST(RunShare, BacktestMovesWithinEachPositionAndChangesNothing) {
    const DrawTable table = RandomTable(3000, 5);
    for (const FftPlacement fft : {FftPlacement::Head, FftPlacement::Tail}) {
        SCOPED_TRACE(static_cast<int>(fft));
        const Setting setting{FilterKind::Lpf, 5, fft};
        Shares shares;
        const auto reported = Backtest(table, setting, {}, shares.Control());
        shares.ExpectRisingToOne();
        // Finer than the five steps of `progress`: many shares below a fifth.
        const auto first =
            std::count_if(shares.seen.begin(), shares.seen.end(), [](double s) { return s < 0.2; });
        EXPECT_GT(first, 10);
        const auto plain = Backtest(table, setting, {});
        ASSERT_TRUE(reported && plain);
        EXPECT_EQ(reported->positions[0].hits, plain->positions[0].hits);
        EXPECT_EQ(reported->changes, plain->changes);
    }
}

TEST(RunShare, SweepRisesToOneOnAnyNumberOfThreads) {
    const DrawTable table = RandomTable(1500, 9);
    for (const unsigned jobs : {1u, 3u}) {
        SCOPED_TRACE(jobs);
        Shares shares;
        const auto sweep = Sweep(table, {}, 1, jobs, shares.Control());
        ASSERT_TRUE(sweep.has_value());
        shares.ExpectRisingToOne();
        // The first report comes long before the first of 21 units is done.
        EXPECT_LT(shares.seen.front(), 1.0 / 63.0);
    }
}

TEST(RunShare, ForecastWorkWeighsFramesAndPlacements) {
    const detail::ForecastRule lpf{FilterKind::Lpf, 10};
    const FftPlacement head = FftPlacement::Head, tail = FftPlacement::Tail;
    const FftPlacement both[] = {FftPlacement::Tail, FftPlacement::Center};
    // Head only: one per cycle (M = 1 .. 100).
    EXPECT_EQ(detail::ForecastWork(1000, lpf, {&head, 1}), 100.0);
    // Tail: each cycle its frame length, 1 + 2*2 + 4*4 + 8*8 + 16*16 + 32*32 + 64*37.
    EXPECT_EQ(detail::ForecastWork(1000, lpf, {&tail, 1}),
              1.0 + 4 + 16 + 64 + 256 + 1024 + 64 * 37);
    EXPECT_EQ(detail::ForecastWork(1000, lpf, both),
              2 * detail::ForecastWork(1000, lpf, {&tail, 1}));
    // NONE runs on the head whatever is asked; cycles before the first cost nothing.
    EXPECT_EQ(detail::ForecastWork(1000, {FilterKind::None, 10}, {&tail, 1}), 100.0);
    EXPECT_EQ(detail::ForecastWork(1000, lpf, {&head, 1}, 61), 40.0);
    EXPECT_EQ(detail::ForecastWork(1000, {FilterKind::Lpf, 0}, {&tail, 1}), 0.0);
}

}  // namespace
}  // namespace corvalith::evaluate
