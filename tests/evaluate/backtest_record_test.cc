// The backtest's draw-by-draw record: its totals are the backtest's, and
// the ranks it lists add up to the backtest's hits for every K.
#include "evaluate/backtest_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "tests/evaluate/backtest_reference.h"

namespace corvalith::evaluate {
namespace {

using testing::RandomTable;
using testing::SameResult;

TEST(BacktestRecord, AddsUpToTheBacktest) {
    const DrawTable table = RandomTable(900, 11, 3, 100);
    for (const Setting& setting : {Setting{FilterKind::Lpf, 15, FftPlacement::Head},
                                   Setting{FilterKind::Bpf, 10, FftPlacement::Center},
                                   Setting{FilterKind::None, 24, FftPlacement::Head}}) {
        for (const EvaluationOptions& options : {EvaluationOptions{}, EvaluationOptions{500}}) {
            const auto plain = Backtest(table, setting, options);
            const auto record = BacktestWithRecord(table, setting, options);
            ASSERT_TRUE(plain && record);
            EXPECT_TRUE(SameResult(record->result, *plain));
            // The first draw evaluated at any position.
            std::int32_t first = INT32_MAX;
            for (std::size_t p = 0; p < kPositionCount; ++p) {
                const auto& draws = record->draws[p];
                ASSERT_EQ(draws.size(), plain->positions[p].evaluated);
                Hits hits{}, hot{}, cold{};
                std::int32_t previous = 0;
                for (const EvaluatedDraw& draw : draws) {
                    EXPECT_GT(draw.draw, previous);  // in draw order, each once
                    previous = draw.draw;
                    EXPECT_GE(draw.draw, options.from.value_or(0));
                    for (int k = 1; k <= kDigits; ++k) {
                        hits[k - 1] += draw.rank <= k ? 1 : 0;
                        hot[k - 1] += draw.hot <= k ? 1 : 0;
                        cold[k - 1] += draw.cold <= k ? 1 : 0;
                    }
                }
                EXPECT_EQ(hits, plain->positions[p].hits);
                EXPECT_EQ(hot, plain->positions[p].hotHits);
                EXPECT_EQ(cold, plain->positions[p].coldHits);
                if (!draws.empty()) first = std::min(first, draws.front().draw);
            }
        }
    }
}

TEST(BacktestRecord, CancelledGivesNothingAndTooFewDrawsAnEmptyRecord) {
    const DrawTable table = RandomTable(300, 5);
    const std::atomic<bool> cancel{true};
    RunControl control;
    control.cancel = &cancel;
    EXPECT_FALSE(BacktestWithRecord(table, {}, {}, control).has_value());

    const auto short_ = BacktestWithRecord(RandomTable(10, 5), {FilterKind::Lpf, 15}, {});
    ASSERT_TRUE(short_.has_value());
    for (const auto& draws : short_->draws) EXPECT_TRUE(draws.empty());
}

}  // namespace
}  // namespace corvalith::evaluate
