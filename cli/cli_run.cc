// corvix-cli's commands: `predict` builds a PredictRequest and prints the
// message (or its JSON form); `next-draw` runs the select-file checks and
// prints the proposal; the evaluation commands are in evaluation_commands.
#include "cli/cli_run.h"

#include "cli/cli_args.h"
#include "cli/evaluation_commands.h"
#include "cli/history_input.h"
#include "cli/money_commands.h"
#include "commands/messages.h"
#include "commands/select_file_core.h"
#include "corvalith/version.h"
#include "report/predict_report.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

int Report(PredictStatus status, std::ostream& err) {
    err << Utf16ToUtf8(FailureMessage(status)) << '\n';
    return ExitCodeFor(status);
}

int Predict(const CliOptions& options, std::ostream& out, std::ostream& err) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(options.history);
    // Without --draw the heading shows the number the window would propose.
    request.drawNumber = options.draw.value_or(0);
    request.proposeDrawNumber = !options.draw;
    request.interval = options.interval;
    request.filterKind = IFType(options.filter);
    request.fftFlag = FftFlag(options.fft);
    request.logPath = options.trace;
    if (options.format == OutputFormat::Text) {
        const PredictOutcome outcome = RunPredict(request);
        if (outcome.status != PredictStatus::Ok) return Report(outcome.status, err);
        out << Utf16ToUtf8(outcome.text) << '\n';
        return kExitOk;
    }

    // The summary comes from its own read, released before the forecast runs.
    PredictReport report;
    {
        const HistoryInput input = ReadHistory(options.history, false);
        if (input.exitCode != kExitOk) {
            err << input.error << '\n';
            return input.exitCode;
        }
        report.history = SummaryOf(input.table);
    }
    const PredictDetail detail = RunPredictDetail(request);
    if (detail.status != PredictStatus::Ok) return Report(detail.status, err);
    report.filter = options.filter;
    report.interval = options.interval;
    report.fft = options.filter == FilterKind::None ? FftPlacement::Head : options.fft;
    report.draw = detail.drawNumber;
    report.detail = &detail;
    out << PredictJson(report);
    return kExitOk;
}

int NextDraw(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const HistoryCheck check = CheckChosenHistory(options.history);
    if (check.status != PredictStatus::Ok) return Report(check.status, err);
    if (check.nextDraw) out << *check.nextDraw << '\n';
    return kExitOk;
}

}  // namespace

int ExitCodeFor(PredictStatus status) noexcept {
    switch (status) {
        case PredictStatus::Ok:
            return kExitOk;
        case PredictStatus::NoPath:
        case PredictStatus::PathNotFound:
            return kExitNoPath;
        case PredictStatus::ReadFailed:
            return kExitUnreadable;
        case PredictStatus::Failed:
            break;
    }
    return kExitInternal;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool showProgress) {
    const CliParse parse = ParseCliArguments(args);
    if (!parse.options) {
        err << "corvix-cli: " << parse.error << '\n' << CliUsage();
        return kExitUsage;
    }
    const CliOptions& options = *parse.options;
    switch (options.command) {
        case CliCommand::Help:
            out << CliUsage();
            return kExitOk;
        case CliCommand::Version:
            out << "corvix-cli " << kVersion << '\n';
            return kExitOk;
        case CliCommand::Predict:
            return Predict(options, out, err);
        case CliCommand::NextDraw:
            return NextDraw(options, out, err);
        case CliCommand::Backtest:
        case CliCommand::Sweep:
        case CliCommand::Randomness:
            return RunEvaluation(options, out, err, showProgress);
        case CliCommand::Tickets:
            return RunTickets(options, out, err);
    }
    return kExitUsage;
}

}  // namespace corvalith
