// The commands over the analysis the window runs: one computation (with a
// progress line when asked) and the chosen report.
#include "cli/evaluation_commands.h"

#include <memory>
#include <optional>
#include <string>

#include "cli/check_command.h"
#include "cli/cli_run.h"
#include "cli/history_input.h"
#include "cli/money_commands.h"
#include "cli/progress_line.h"
#include "commands/analysis_results.h"
#include "commands/messages.h"
#include "report/analysis_report.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

// The RunControl of a run: a progress line on `err` when asked, else nothing.
struct Progress {
    Progress(std::ostream& err, bool show, const char* label) {
        if (show && label != nullptr) line = std::make_unique<ProgressLine>(err, label);
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

AnalysisInputs AnalysisInputsOf(const CliOptions& options) {
    AnalysisInputs inputs;
    inputs.path = options.history;
    inputs.filter = options.filter;
    inputs.interval = options.interval;
    inputs.fft = options.fft;
    inputs.drawNumber = options.draw.value_or(0);
    // Without --draw the heading shows the number the window would propose.
    inputs.proposeDrawNumber = !options.draw;
    inputs.top = options.top;
    inputs.from = options.from;
    inputs.jobs = options.jobs;
    inputs.trace = options.trace;
    return inputs;
}

// backtest or sweep with --bet: the money record beside the usual report.
int RunMoneyEvaluation(const CliOptions& options, std::ostream& out, std::ostream& err,
                       bool showProgress) {
    std::optional<std::string> report;
    {
        const HistoryInput input = ReadHistory(options.history, true);
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
        const ReportContext context = ContextOf(input.table);
        const AnalysisInputs inputs = AnalysisInputsOf(options);
        evaluate::EvaluationOptions evaluation;
        evaluation.from = options.from;
        const bool backtest = options.command == CliCommand::Backtest;
        const Progress progress(err, showProgress, backtest ? "バックテスト" : "スイープ");
        report = backtest ? MoneyBacktest(options, input.table, context, SettingOf(inputs),
                                          evaluation, progress.Control(), payouts)
                          : MoneySweep(options, input.table, context, evaluation,
                                       progress.Control(), payouts);
        progress.Erase();
    }
    if (!report) {
        err << Utf16ToUtf8(kMsgEvaluationFailed) << '\n';
        return kExitInternal;
    }
    out << *report;
    return kExitOk;
}

}  // namespace

int RunEvaluation(const CliOptions& options, std::ostream& out, std::ostream& err,
                  bool showProgress) {
    if (options.bet &&
        (options.command == CliCommand::Backtest || options.command == CliCommand::Sweep)) {
        return RunMoneyEvaluation(options, out, err, showProgress);
    }
    AnalysisTab tab = AnalysisTab::Detail;
    const char* label = nullptr;
    switch (options.command) {
        case CliCommand::Backtest:
            tab = AnalysisTab::Verify;
            label = "バックテスト";
            break;
        case CliCommand::Sweep:
            tab = AnalysisTab::Sweep;
            label = "スイープ";
            break;
        case CliCommand::Randomness:
            tab = AnalysisTab::Randomness;
            break;
        default:
            break;
    }
    const Progress progress(err, showProgress, label);
    const AnalysisOutcome outcome =
        ComputeAnalysis(tab, AnalysisInputsOf(options), progress.Control());
    progress.Erase();
    // Exhausted memory while the report is made goes on to RunCli, which says so.
    std::string report;
    int code = kExitInternal;
    switch (outcome.end) {
        case AnalysisEnd::Done:
            report = options.format == OutputFormat::Json
                         ? AnalysisJson(*outcome.result, options.top)
                         : AnalysisText(*outcome.result, options.top);
            code = kExitOk;
            break;
        case AnalysisEnd::StatusFailed:
            code = ExitCodeFor(outcome.status);
            break;
        case AnalysisEnd::NotEvaluable:
            code = kExitNotEvaluable;
            break;
        case AnalysisEnd::Cancelled:  // never cancelled here: an internal failure
        case AnalysisEnd::OutOfMemory:
        case AnalysisEnd::Failed:
            break;
    }
    if (code == kExitOk) {
        out << report;
        return code;
    }
    const std::u16string_view why = WhyNoResult(outcome);
    if (outcome.end == AnalysisEnd::StatusFailed && outcome.status == PredictStatus::ReadFailed) {
        ReportLoadFailure(err, Utf16ToUtf8(why), options.history);
        return code;
    }
    err << Utf16ToUtf8(why.empty() ? kMsgEvaluationFailed : why) << '\n';
    return code;
}

}  // namespace corvalith
