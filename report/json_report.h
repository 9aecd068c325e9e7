// The JSON reports of backtest, sweep and randomness: one UTF-8 object each,
// ending in a line break. Names and nesting are the command line's contract
// (README, "Command line").
#pragma once

#include <string>

#include "evaluate/backtest.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"
#include "history/history_summary.h"
#include "report/json_parts.h"

namespace corvalith {

// "command" "backtest", "history", "setting", "top", "positions", "straight",
// "changes", "first_evaluated_draw". `top` is 1..10.
[[nodiscard]] std::string BacktestJson(const HistorySummary& history,
                                       const evaluate::BacktestResult& result, int top);

// BacktestJson's object before it is written (money_report adds a member).
[[nodiscard]] Json BacktestObject(const HistorySummary& history,
                                  const evaluate::BacktestResult& result, int top);

// "command" "sweep", "history", "top", "settings" (each "setting", "positions"
// with "p_holm", "straight", "changes", "first_evaluated_draw"), "best",
// "any_significant".
[[nodiscard]] std::string SweepJson(const HistorySummary& history,
                                    const evaluate::SweepResult& result, int top);

// SweepJson's object before it is written.
[[nodiscard]] Json SweepObject(const HistorySummary& history, const evaluate::SweepResult& result,
                               int top);

// "command" "randomness", "history", "positions", "pairs".
[[nodiscard]] std::string RandomnessJson(const HistorySummary& history,
                                         const evaluate::RandomnessResult& result);

}  // namespace corvalith
