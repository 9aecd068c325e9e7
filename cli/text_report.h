// The text reports of backtest, sweep and randomness: Japanese, UTF-8, in
// columns that line up in a terminal, each ending in one plain sentence
// with the verdict.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "cli/history_input.h"
#include "evaluate/backtest.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"

namespace corvalith {

inline constexpr double kSignificance = 0.05;  // the level of every verdict

// What the reports say about the history besides the results.
struct ReportContext {
    HistorySummary history;
    std::array<std::size_t, kPositionCount> nonDigits{};  // results that are not a digit
};

[[nodiscard]] std::string BacktestText(const ReportContext& context,
                                       const evaluate::BacktestResult& result, int top);

[[nodiscard]] std::string SweepText(const ReportContext& context,
                                    const evaluate::SweepResult& result, int top);

[[nodiscard]] std::string RandomnessText(const ReportContext& context,
                                         const evaluate::RandomnessResult& result);

// The number formats of the reports: "10.00%", "0.5123" ("<0.0001" below
// that), and `digits` decimals.
[[nodiscard]] std::string Percent(double fraction);
[[nodiscard]] std::string PValue(double p);
[[nodiscard]] std::string Fixed(double value, int digits);

}  // namespace corvalith
