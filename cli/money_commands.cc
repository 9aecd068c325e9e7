// The money commands over evaluate/ and report/money_report.
#include "cli/money_commands.h"

#include "cli/cli_run.h"
#include "cli/history_input.h"
#include "commands/messages.h"
#include "commands/predict_core.h"
#include "evaluate/money_record.h"
#include "evaluate/sweep.h"
#include "report/money_report.h"
#include "report/payouts_report.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {

int RunTickets(const CliOptions& options, std::ostream& out, std::ostream& err) {
    TicketsReport report;
    {
        const HistoryInput input = ReadHistory(options.history, false);
        if (input.exitCode != kExitOk) {
            err << input.error << '\n';
            return input.exitCode;
        }
        report.history = SummaryOf(input.table);
        std::vector<DrawPayouts> payouts;
        std::string error;
        const int read = ReadPayouts(options.history, payouts, error);
        if (read != kExitOk) {
            err << error << '\n';
            return read;
        }
        report.estimates = evaluate::TicketEstimatesOf(input.table, payouts);
    }
    const PredictDetail detail = RunPredictDetail(PredictRequestOf(options));
    if (detail.status != PredictStatus::Ok) {
        err << Utf16ToUtf8(FailureMessage(detail.status)) << '\n';
        return ExitCodeFor(detail.status);
    }
    report.filter = options.filter;
    report.interval = options.interval;
    report.fft = EffectivePlacement(options.filter, options.fft);
    report.draw = detail.drawNumber;
    evaluate::Rankings rankings{};
    bool ranked = true;
    for (std::size_t p = 0; p < rankings.size(); ++p) {
        ranked = ranked && detail.positions[p].ranked;
        rankings[p] = detail.positions[p].ranking;
    }
    try {
        if (ranked) report.plan = evaluate::PlanTickets(rankings, options.spread);
        out << (options.format == OutputFormat::Json ? TicketsJson(report) : TicketsText(report));
    } catch (const std::bad_alloc&) {
        err << Utf16ToUtf8(FailureMessage(PredictStatus::Failed)) << '\n';
        return kExitInternal;
    }
    return kExitOk;
}

int ReadPayouts(const std::string& path, std::vector<DrawPayouts>& payouts, std::string& error) {
    PayoutProblem problem;
    const int status = LoadDrawPayouts(path, payouts, &problem);
    if (status == 0) return kExitOk;
    if (status == -2) {
        error = Utf16ToUtf8(FailureMessage(PredictStatus::Failed));
        return kExitInternal;
    }
    error = problem.line == 0
                ? "払戻金を読めません"
                : std::to_string(problem.line) + " 行目 " + std::to_string(problem.field) +
                      " 列目の払戻金が 0 から 99999999 の整数ではありません: 「" +
                      Utf16ToUtf8(problem.text) + "」";
    return kExitUnreadable;
}

int RunPayouts(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const HistoryInput input = ReadHistory(options.history, false);
    if (input.exitCode != kExitOk) {
        err << input.error << '\n';
        return input.exitCode;
    }
    std::vector<DrawPayouts> payouts;
    std::string error;
    const int read = ReadPayouts(options.history, payouts, error);
    if (read != kExitOk) {
        err << error << '\n';
        return read;
    }
    const PayoutsReport report = MakePayoutsReport(SummaryOf(input.table), input.table, payouts);
    out << (options.format == OutputFormat::Json ? PayoutsJson(report) : PayoutsText(report));
    return kExitOk;
}

std::optional<std::string> MoneyBacktest(const CliOptions& options, const DrawTable& table,
                                         const ReportContext& context,
                                         const evaluate::Setting& setting,
                                         const evaluate::EvaluationOptions& evaluation,
                                         const evaluate::RunControl& control,
                                         std::span<const DrawPayouts> payouts) {
    if (!options.bet) return std::nullopt;
    const auto backtest =
        evaluate::BacktestWithMoney(table, setting, evaluation, *options.bet, control,
                                    {options.payouts, payouts, options.payoutPick});
    if (!backtest) return std::nullopt;
    if (options.format == OutputFormat::Json) {
        return BacktestJsonWithBet(context.history, backtest->result, options.top, backtest->money);
    }
    return BacktestText(context, backtest->result, options.top) + MoneyText(backtest->money);
}

std::optional<std::string> MoneySweep(const CliOptions& options, const DrawTable& table,
                                      const ReportContext& context,
                                      const evaluate::EvaluationOptions& evaluation,
                                      const evaluate::RunControl& control,
                                      std::span<const DrawPayouts> payouts) {
    if (!options.bet) return std::nullopt;
    const auto result = evaluate::Sweep(table, evaluation, options.top, options.jobs, control,
                                        options.bet, {options.payouts, payouts});
    if (!result) return std::nullopt;
    if (options.format == OutputFormat::Json) {
        return SweepJsonWithBet(context.history, *result, options.top, *options.bet);
    }
    return SweepMoneyText(context, *result, options.top, *options.bet);
}

}  // namespace corvalith
