// Every setting evaluated, with Holm's correction over all of their tests.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "evaluate/backtest.h"
#include "evaluate/money_record.h"

namespace corvalith::evaluate {

// LPF and BPF x kIntervals x the four placements, then NONE x kIntervals (63).
[[nodiscard]] std::vector<Setting> SweepSettings();

struct SweepEntry {
    BacktestResult result;
    std::array<TopStatistics, kPositionCount> statistics;  // for the sweep's top K
    std::array<double, kPositionCount> pHolm{};            // adjusted over all settings x positions
    std::optional<MoneyLine> money;  // with a bet: the pick's tally (no balances kept)
    double moneyPHolm = 1.0;         // money->pValue adjusted over all settings
};

struct SweepResult {
    std::vector<SweepEntry> settings;  // in SweepSettings() order
    std::size_t bestSetting = 0;       // the setting and position with the highest rate
    std::size_t bestPosition = 0;
    bool anySignificant = false;  // some pHolm < 0.05
};

// Runs every setting on `jobs` threads (0: the hardware threads). The
// result does not depend on `jobs`. Progress: settings done of 63, reported
// one call at a time from the worker threads. Nothing when cancelled.
// `top` is K as in StatisticsFor. With `bet`, every entry also has the
// money tally of that bet on its picks. May throw std::bad_alloc.
[[nodiscard]] std::optional<SweepResult> Sweep(const DrawTable& table,
                                               const EvaluationOptions& options, int top,
                                               unsigned jobs, const RunControl& control = {},
                                               std::optional<BetType> bet = std::nullopt);

}  // namespace corvalith::evaluate
