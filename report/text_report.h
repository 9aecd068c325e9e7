// The text reports of backtest, sweep and randomness: Japanese, UTF-8, in
// columns that line up in a terminal, each ending in one plain sentence
// with the verdict.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "evaluate/backtest.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"
#include "history/history_summary.h"

namespace corvalith {

// The significance level as the verdicts say it ("5 %").
[[nodiscard]] std::string SignificanceLevelText();

// What the reports say about the history besides the results.
struct ReportContext {
    HistorySummary history;
    std::array<std::size_t, kPositionCount> nonDigits{};  // results that are not a digit
};

// The report's context for a loaded history, or for its summary.
[[nodiscard]] ReportContext ContextOf(const DrawTable& table) noexcept;
[[nodiscard]] ReportContext ContextOf(const HistorySummary& history) noexcept;

[[nodiscard]] std::string BacktestText(const ReportContext& context,
                                       const evaluate::BacktestResult& result, int top);

[[nodiscard]] std::string SweepText(const ReportContext& context,
                                    const evaluate::SweepResult& result, int top);

[[nodiscard]] std::string RandomnessText(const ReportContext& context,
                                         const evaluate::RandomnessResult& result);

// The last line of each report: "結論: " and the verdict at kSignificance,
// ending in a line break.
[[nodiscard]] std::string BacktestVerdict(const evaluate::BacktestResult& result, int top);
[[nodiscard]] std::string SweepVerdict(const evaluate::SweepResult& result);
[[nodiscard]] std::string RandomnessVerdict(const evaluate::RandomnessResult& result);

// The randomness report's tests in its order (frequency per position, then
// per position the serial and repeat tests, then the six pairs): a Japanese
// name ("千の位の出現頻度") and the p-value.
struct NamedTest {
    std::string name;
    double pValue = 1.0;
};
[[nodiscard]] std::vector<NamedTest> RandomnessTests(const evaluate::RandomnessResult& result);

// The number formats of the reports: "10.00%", "0.5123" ("<0.0001" below
// that), and `digits` decimals.
[[nodiscard]] std::string Percent(double fraction);
[[nodiscard]] std::string PValue(double p);
[[nodiscard]] std::string Fixed(double value, int digits);

}  // namespace corvalith
