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
    bool anySignificant = false;  // some pHolm < kSignificance
    AmountsUsed amounts;          // with a bet: the amounts every setting's tally is at
};

// Runs every setting on `jobs` threads (0: the hardware threads), the
// calling one among them; when fewer threads can be started (see
// RunControl::startThread) it runs on those. The result does not depend on
// the threads. Progress: settings done of 63, reported one call at a time
// from the threads. Nothing when cancelled. `top` is K as in StatisticsFor.
// With `bet`, every entry also has the money tally of that bet on its
// picks, all at the same amounts: real when `amounts` asks for them, or
// asks for either and no draw any setting may evaluate lacks one. Throws std::bad_alloc when memory
// runs out, the only exception its steps raise (whatever a worker throws is rethrown on the calling
// thread).
[[nodiscard]] std::optional<SweepResult> Sweep(const DrawTable& table,
                                               const EvaluationOptions& options, int top,
                                               unsigned jobs, const RunControl& control = {},
                                               std::optional<BetType> bet = std::nullopt,
                                               const MoneyAmounts& amounts = {});

}  // namespace corvalith::evaluate
