// The money commands: `tickets`, and backtest and sweep with --bet (the
// money record beside the usual report).
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "evaluate/backtest.h"
#include "history/draw_payouts.h"
#include "report/text_report.h"

namespace corvalith {

// corvix-cli tickets: the forecast as RunPredict makes it, then its tickets.
// Returns the exit status; failures print one line on `err`.
[[nodiscard]] int RunTickets(const CliOptions& options, std::ostream& out, std::ostream& err);

// corvix-cli payouts: the class table and the estimate's walk-forward check.
[[nodiscard]] int RunPayouts(const CliOptions& options, std::ostream& out, std::ostream& err);

// The payouts of the history at `path` (one entry per draw line): the exit
// status, and on failure the line for stderr in `error`.
[[nodiscard]] int ReadPayouts(const std::string& path, std::vector<DrawPayouts>& payouts,
                              std::string& error);

// The backtest and the money record of `options.bet` at the amounts of
// `options.payouts` and the history's `payouts`, as text or JSON; nothing
// when cancelled. May throw std::bad_alloc.
[[nodiscard]] std::optional<std::string> MoneyBacktest(
    const CliOptions& options, const DrawTable& table, const ReportContext& context,
    const evaluate::Setting& setting, const evaluate::EvaluationOptions& evaluation,
    const evaluate::RunControl& control, std::span<const DrawPayouts> payouts);

// The sweep with every setting's tally of `options.bet`, all at one set of
// amounts. May throw std::bad_alloc.
[[nodiscard]] std::optional<std::string> MoneySweep(const CliOptions& options,
                                                    const DrawTable& table,
                                                    const ReportContext& context,
                                                    const evaluate::EvaluationOptions& evaluation,
                                                    const evaluate::RunControl& control,
                                                    std::span<const DrawPayouts> payouts);

}  // namespace corvalith
