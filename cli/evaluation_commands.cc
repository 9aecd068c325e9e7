// The evaluation commands over evaluate/: one read of the history, the run
// (with a progress line when asked) and the chosen report.
#include "cli/evaluation_commands.h"

#include <memory>
#include <new>
#include <optional>

#include "cli/cli_run.h"
#include "cli/history_input.h"
#include "cli/money_commands.h"
#include "cli/progress_line.h"
#include "commands/messages.h"
#include "evaluate/backtest.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"
#include "report/json_report.h"
#include "report/text_report.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

// The RunControl of a run: a progress line on `err` when asked, else nothing.
struct Progress {
    Progress(std::ostream& err, bool show, const char* label) {
        if (show) line = std::make_unique<ProgressLine>(err, label);
    }
    evaluate::RunControl Control() const {
        evaluate::RunControl control;
        if (line) {
            ProgressLine* shown = line.get();
            control.progress = [shown](std::size_t done, std::size_t total) {
                shown->Update(done, total);
            };
        }
        return control;
    }
    void Erase() const {
        if (line) line->Erase();
    }
    std::unique_ptr<ProgressLine> line;
};

evaluate::Setting SettingOf(const CliOptions& options) {
    evaluate::Setting setting;
    setting.filter = options.filter;
    setting.interval = options.interval;
    // NONE always runs on the head; the report says what ran.
    setting.fft = options.filter == FilterKind::None ? FftPlacement::Head : options.fft;
    return setting;
}

// The report as text, or nothing when the run was cancelled (it is never
// cancelled here, so that is an internal failure).
std::optional<std::string> Evaluate(const CliOptions& options, const DrawTable& table,
                                    std::ostream& err, bool showProgress) {
    const ReportContext context = ContextOf(table);
    const bool json = options.format == OutputFormat::Json;
    evaluate::EvaluationOptions evaluation;
    evaluation.from = options.from;
    switch (options.command) {
        case CliCommand::Backtest: {
            const Progress progress(err, showProgress, "バックテスト");
            if (options.bet) {
                auto report = MoneyBacktest(options, table, context, SettingOf(options), evaluation,
                                            progress.Control());
                progress.Erase();
                return report;
            }
            const auto result =
                evaluate::Backtest(table, SettingOf(options), evaluation, progress.Control());
            progress.Erase();
            if (!result) return std::nullopt;
            return json ? BacktestJson(context.history, *result, options.top)
                        : BacktestText(context, *result, options.top);
        }
        case CliCommand::Sweep: {
            const Progress progress(err, showProgress, "スイープ");
            if (options.bet) {
                auto report = MoneySweep(options, table, context, evaluation, progress.Control());
                progress.Erase();
                return report;
            }
            const auto result =
                evaluate::Sweep(table, evaluation, options.top, options.jobs, progress.Control());
            progress.Erase();
            if (!result) return std::nullopt;
            return json ? SweepJson(context.history, *result, options.top)
                        : SweepText(context, *result, options.top);
        }
        case CliCommand::Randomness: {
            const evaluate::RandomnessResult result = evaluate::TestRandomness(table);
            return json ? RandomnessJson(context.history, result) : RandomnessText(context, result);
        }
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace

int RunEvaluation(const CliOptions& options, std::ostream& out, std::ostream& err,
                  bool showProgress) {
    std::optional<std::string> report;
    try {
        const HistoryInput input = ReadHistory(options.history, true);
        if (input.exitCode != kExitOk) {
            err << input.error << '\n';
            return input.exitCode;
        }
        report = Evaluate(options, input.table, err, showProgress);
    } catch (const std::bad_alloc&) {
        report.reset();
    }
    if (!report) {
        err << Utf16ToUtf8(kMsgEvaluationFailed) << '\n';
        return kExitInternal;
    }
    out << *report;
    return kExitOk;
}

}  // namespace corvalith
