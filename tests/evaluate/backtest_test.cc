// Backtest against the reference tally from the predictors, and its
// properties on histories whose outcome is known in advance.
#include "evaluate/backtest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "dsp/intervals.h"
#include "tests/evaluate/backtest_reference.h"
#include "tests/support/history_files.h"

namespace corvalith::evaluate {
namespace {

using testing::RandomTable;
using testing::ReferenceBacktest;
using testing::SameResult;
using testing::TableOf;

BacktestResult Evaluate(const DrawTable& table, const Setting& setting,
                        const EvaluationOptions& options = {}) {
    const auto result = Backtest(table, setting, options);
    EXPECT_TRUE(result.has_value());
    return result.value_or(BacktestResult{});
}

void ExpectConsistent(const BacktestResult& result) {
    for (const PositionResult& position : result.positions) {
        for (const Hits* hits : {&position.hits, &position.hotHits, &position.coldHits}) {
            for (int k = 1; k < kDigits; ++k) EXPECT_LE((*hits)[k - 1], (*hits)[k]);
            EXPECT_EQ((*hits)[kDigits - 1], position.evaluated);
        }
        if (position.evaluated != 0) {
            EXPECT_GE(position.meanRank, 1.0);
            EXPECT_LE(position.meanRank, 10.0);
        }
        EXPECT_LE(result.straight.evaluated, position.evaluated);
    }
    EXPECT_LE(result.straight.hits, result.straight.evaluated);
}

TEST(Backtest, EqualsTheDrawByDrawTallyOfThePredictors) {
    const DrawTable table = RandomTable(240, 21, 4, 100);
    const std::vector<Setting> settings = {
        {FilterKind::Lpf, 10, FftPlacement::Head},   {FilterKind::Lpf, 12, FftPlacement::Tail},
        {FilterKind::Bpf, 15, FftPlacement::Center}, {FilterKind::Bpf, 10, FftPlacement::HeadTail},
        {FilterKind::None, 20, FftPlacement::Tail},  {FilterKind::Lpf, 30, FftPlacement::Center},
        {FilterKind::Lpf, 3, FftPlacement::Tail},
    };
    for (const Setting& setting : settings) {
        const BacktestResult fast = Evaluate(table, setting);
        EXPECT_TRUE(SameResult(fast, ReferenceBacktest(table, setting, {})))
            << NameOf(setting.filter) << " " << setting.interval << " " << NameOf(setting.fft);
        ExpectConsistent(fast);
        EXPECT_GT(fast.positions[0].evaluated, 0u);
    }
}

TEST(Backtest, FromSkipsTheEarlierDrawsExactlyAsTheTallyDoes) {
    const DrawTable table = RandomTable(200, 22, 2, 1000);
    const Setting setting{FilterKind::Bpf, 12, FftPlacement::Tail};
    const BacktestResult all = Evaluate(table, setting);
    for (const std::int32_t from : {900, 1000, 1001, 1011, 1012, 1013, 1150, 1199, 1200}) {
        const EvaluationOptions options{from};
        const BacktestResult later = Evaluate(table, setting, options);
        EXPECT_TRUE(SameResult(later, ReferenceBacktest(table, setting, options))) << from;
        if (later.firstEvaluatedDraw) {
            EXPECT_GE(*later.firstEvaluatedDraw, from);
        }
        // The forecasts do not depend on where the evaluation starts: the
        // later draws score alike, so the counts can only drop.
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            EXPECT_LE(later.positions[p].evaluated, all.positions[p].evaluated);
        }
    }
    // First forecast at draw index 12 (number 1012); nothing from 1200 on.
    EXPECT_EQ(all.firstEvaluatedDraw, 1012);
    EXPECT_EQ(Evaluate(table, setting, {1000}).firstEvaluatedDraw, 1012);
    EXPECT_EQ(Evaluate(table, setting, {1150}).firstEvaluatedDraw, 1150);
    const BacktestResult none = Evaluate(table, setting, {1200});
    EXPECT_FALSE(none.firstEvaluatedDraw.has_value());
    EXPECT_EQ(none.positions[3].evaluated, 0u);
}

TEST(Backtest, OnConstantDigitsTheForecastAndTheHotRuleAlwaysHit) {
    // Every draw 7777: digit 7 fills every cycle, the others never occur.
    const std::size_t draws = 200;
    const DrawTable table = TableOf(
        draws, [](std::size_t, std::size_t) { return 7; }, 1);
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf, FilterKind::None}) {
        for (const FftPlacement placement : kAllPlacements) {
            for (const std::uint32_t interval : {10u, 30u}) {
                const Setting setting{filter, interval, placement};
                const BacktestResult result = Evaluate(table, setting);
                const std::uint64_t evaluated = draws - interval;  // from the first whole cycle on
                for (const PositionResult& position : result.positions) {
                    EXPECT_EQ(position.evaluated, evaluated);
                    EXPECT_EQ(position.hits[0], evaluated);
                    EXPECT_EQ(position.meanRank, 1.0);
                    EXPECT_EQ(position.hotHits[0], evaluated);
                    EXPECT_EQ(position.coldHits[8], 0u);  // 7 is the most frequent: last
                    EXPECT_EQ(position.coldHits[9], evaluated);
                }
                EXPECT_EQ(result.straight.evaluated, evaluated);
                EXPECT_EQ(result.straight.hits, evaluated);
                EXPECT_EQ(result.straight.expected, evaluated / 10000.0);
                EXPECT_EQ(result.changes, 0u);
                EXPECT_EQ(result.firstEvaluatedDraw, static_cast<std::int32_t>(interval) + 1);
            }
        }
    }
}

TEST(Backtest, OnDigitsRepeatingEveryTenDrawsRanksFollowThePeriod) {
    // Position p of draw i is (i + p) mod 10: with cycles of ten draws every
    // digit occurs once per cycle, all scores tie and the ranking is 0 .. 9,
    // so draw j's digit (j + p) mod 10 has rank (j + p) mod 10 + 1. Of the
    // draws before j the digits below j mod 10 have one occurrence more:
    // at position 0 the hot rule ranks draw j's digit like the forecast,
    // and the cold rule ranks it first.
    const std::size_t draws = 250;
    const DrawTable table =
        TableOf(draws, [](std::size_t i, std::size_t p) { return (i + p) % 10; });
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf, FilterKind::None}) {
        for (const FftPlacement placement : kAllPlacements) {
            const BacktestResult result = Evaluate(table, {filter, 10, placement});
            for (std::size_t p = 0; p < kPositionCount; ++p) {
                Hits expected{};
                double rankSum = 0;
                for (std::size_t j = 10; j < draws; ++j) {
                    const std::size_t rank = (j + p) % 10 + 1;
                    rankSum += static_cast<double>(rank);
                    for (std::size_t k = rank; k <= 10; ++k) ++expected[k - 1];
                }
                const PositionResult& position = result.positions[p];
                EXPECT_EQ(position.evaluated, draws - 10);
                EXPECT_EQ(position.hits, expected) << p;
                EXPECT_DOUBLE_EQ(position.meanRank, rankSum / (draws - 10));
                if (p == 0) {
                    EXPECT_EQ(position.hotHits, expected);
                    EXPECT_EQ(position.coldHits[0], draws - 10);
                }
            }
            EXPECT_EQ(result.changes, 0u);  // the ranking never changes
        }
    }
}

TEST(Backtest, KeepsItsPropertiesOnTheSampleHistory) {
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(::corvalith::testing::SampleHistoryPath(), table), 0);
    const BacktestResult result = Evaluate(table, {FilterKind::Lpf, 15, FftPlacement::Tail});
    ExpectConsistent(result);
    for (const PositionResult& position : result.positions) {
        EXPECT_EQ(position.evaluated, table.size() - 15);  // every sample value is a digit
    }
    EXPECT_EQ(result.straight.evaluated, table.size() - 15);
    EXPECT_EQ(result.firstEvaluatedDraw, 16);
    EXPECT_GT(result.changes, 0u);
    EXPECT_LT(result.changes, table.size() / 15 + 1);  // at most one change a cycle
}

TEST(Backtest, EvaluatesNothingWhereNoForecastOrNoDigitExists) {
    const DrawTable random = RandomTable(50, 23);
    for (const std::uint32_t interval : {0u, 50u, 1000u}) {
        const BacktestResult result =
            Evaluate(random, {FilterKind::Lpf, interval, FftPlacement::Head});
        for (const PositionResult& position : result.positions) {
            EXPECT_EQ(position.evaluated, 0u);
            EXPECT_EQ(position.meanRank, 0.0);
            EXPECT_EQ(position.hits, Hits{});
        }
        EXPECT_FALSE(result.firstEvaluatedDraw.has_value());
        EXPECT_EQ(result.changes, 0u);
    }
    EXPECT_EQ(Evaluate(DrawTable{}, {}).straight.evaluated, 0u);
    EXPECT_EQ(Evaluate(RandomTable(1, 24), {}).positions[0].evaluated, 0u);

    // A position without digits is never evaluated, and so no draw is
    // evaluated at all four positions.
    const DrawTable blanks =
        TableOf(80, [](std::size_t i, std::size_t p) { return p == 2 ? -16 : int(i % 10); });
    const BacktestResult result = Evaluate(blanks, {FilterKind::None, 10, FftPlacement::Head});
    EXPECT_EQ(result.positions[2].evaluated, 0u);
    EXPECT_EQ(result.positions[1].evaluated, 70u);
    EXPECT_EQ(result.straight.evaluated, 0u);
}

TEST(Backtest, ReturnsNothingWhenCancelledAndReportsItsProgress) {
    const DrawTable table = RandomTable(300, 25);
    const Setting setting{FilterKind::Lpf, 10, FftPlacement::Tail};
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(Backtest(table, setting, {}, {{}, &cancel}).has_value());

    // Cancelled from the progress report after the first position.
    cancel = false;
    RunControl control;
    control.cancel = &cancel;
    control.progress = [&](std::size_t done, std::size_t) { cancel = done >= 1; };
    EXPECT_FALSE(Backtest(table, setting, {}, control).has_value());

    std::vector<std::pair<std::size_t, std::size_t>> reports;
    cancel = false;
    control.progress = [&](std::size_t done, std::size_t total) {
        reports.emplace_back(done, total);
    };
    const auto result = Backtest(table, setting, {}, control);
    ASSERT_TRUE(result.has_value());
    ASSERT_FALSE(reports.empty());
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].first, i + 1);
        EXPECT_EQ(reports[i].second, reports.back().first);
    }
    EXPECT_TRUE(SameResult(*result, Evaluate(table, setting)));
}

}  // namespace
}  // namespace corvalith::evaluate
