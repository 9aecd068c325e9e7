// Walk-forward evaluation of one setting: the forecast for every past draw,
// made from the draws before it only, scored against what was drawn, beside
// the hot and cold rules and chance.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "evaluate/statistics.h"
#include "evaluate/worker_threads.h"
#include "history/draw_table.h"
#include "predict/cycle_counts.h"

namespace corvalith::evaluate {

struct Setting {
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = 15;
    FftPlacement fft = FftPlacement::Head;  // NONE always runs on the head
};

// hits[k-1]: evaluated draws whose digit is among the first k ranked digits.
using Hits = std::array<std::uint64_t, kDigits>;

struct PositionResult {
    std::uint64_t evaluated = 0;
    Hits hits{};
    double meanRank = 0.0;  // mean 1-based rank of the drawn digit (0 when none)
    Hits hotHits{};         // by descending count over the draws before, ties by digit
    Hits coldHits{};        // by ascending count, ties by digit
};

struct StraightResult {
    std::uint64_t evaluated = 0;  // draws evaluated at all four positions
    std::uint64_t hits = 0;       // of which all four first-ranked digits were right
    double expected = 0.0;        // evaluated / 10000
};

struct BacktestResult {
    Setting setting;
    std::array<PositionResult, kPositionCount> positions;
    StraightResult straight;
    std::uint64_t changes = 0;  // evaluated draws whose rankings differ from the previous one's
    std::optional<std::int32_t> firstEvaluatedDraw;
};

// The figures of one position for the chosen top K.
struct TopStatistics {
    double rate = 0.0;    // hits[K-1] / evaluated (0 when none)
    double chance = 0.0;  // K / 10
    Interval ci95;        // Wilson
    double pValue = 1.0;  // P(X >= hits | evaluated, K/10)
};
// K, how many of a position's first ranked digits count as a hit: 1 .. kMaxTop.
inline constexpr int kMaxTop = 10;
// `top` is K, 1 .. kMaxTop (a value outside is taken as the nearest of them).
[[nodiscard]] TopStatistics StatisticsFor(const PositionResult& position, int top);

struct EvaluationOptions {
    std::optional<std::int32_t> from;  // skip draws numbered below this
};

// Progress and cancel for long runs; a window runs them on a worker thread.
// `progress` may be called from any worker thread (it must be thread-safe);
// a run checks `cancel` between units of work and then returns nothing.
struct RunControl {
    std::function<void(std::size_t done, std::size_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;
    ThreadStart startThread = {};  // how a run on several threads starts each (empty: std::jthread)
    // Finer progress for a bar: the share of the run done, 0 to 1 and never
    // falling, reported within each unit as well, so that it moves steadily
    // on a long history. Called from any worker thread, one call at a time.
    std::function<void(double share)> share = {};
};

// Evaluates `setting` on every draw j >= 1 of `table` (and at or above
// options.from). The forecast for draw j is exactly RunPredict's for the
// first j draws. A draw is evaluated at a position when it has a forecast
// there and the drawn value is one of the digits 0-9. Progress: one step per
// position's forecasts and one for the scoring (5 in all). Nothing when
// cancelled. Uses no shared mutable state: runs may go on side by side on
// any threads. May throw std::bad_alloc.
[[nodiscard]] std::optional<BacktestResult> Backtest(const DrawTable& table, const Setting& setting,
                                                     const EvaluationOptions& options,
                                                     const RunControl& control = {});

}  // namespace corvalith::evaluate
