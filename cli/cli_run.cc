// corvix-cli's commands: `predict` builds a PredictRequest and prints the
// message (or its JSON form); `next-draw` runs the select-file checks and
// prints the proposal; the evaluation commands are in evaluation_commands.
// Every command ends in one place, which says an escaped failure and a
// failed write of the output.
#include "cli/cli_run.h"

#include <iostream>
#include <new>

#include "cli/check_command.h"
#include "cli/cli_args.h"
#include "cli/evaluation_commands.h"
#include "cli/failure_line.h"
#include "cli/history_commands.h"
#include "cli/money_commands.h"
#include "cli/output_stream.h"
#include "cli/update_command.h"
#include "commands/messages.h"
#include "commands/select_file_core.h"
#include "corvalith/version.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

// A failed outcome on `err`; a load failure with the first problem of `path`.
int Report(PredictStatus status, std::ostream& err, const std::string& path) {
    if (status == PredictStatus::ReadFailed) {
        ReportLoadFailure(err, Utf16ToUtf8(FailureMessage(status)), path);
    } else {
        err << Utf16ToUtf8(FailureMessage(status)) << '\n';
    }
    return ExitCodeFor(status);
}

int Predict(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (options.format == OutputFormat::Json) return RunEvaluation(options, out, err, false);
    PredictRequest request = PredictRequestOf(options);
    request.logPath = options.trace;
    const PredictOutcome outcome = RunPredict(request);
    if (outcome.status != PredictStatus::Ok) return Report(outcome.status, err, options.history);
    out << Utf16ToUtf8(outcome.text) << '\n';
    return kExitOk;
}

int NextDraw(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const HistoryCheck check = CheckChosenHistory(options.history);
    if (check.status != PredictStatus::Ok) return Report(check.status, err, options.history);
    if (check.nextDraw) out << *check.nextDraw << '\n';
    return kExitOk;
}

}  // namespace

PredictRequest PredictRequestOf(const CliOptions& options) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(options.history);
    // Without --draw the heading shows the number the window would propose.
    request.drawNumber = options.draw.value_or(0);
    request.proposeDrawNumber = !options.draw;
    request.interval = options.interval;
    request.filterKind = IFType(options.filter);
    request.fftFlag = FftFlag(options.fft);
    return request;
}

int ExitCodeFor(PredictStatus status) noexcept {
    switch (status) {
        case PredictStatus::Ok:
            return kExitOk;
        case PredictStatus::NoPath:
        case PredictStatus::PathNotFound:
            return kExitNoPath;
        case PredictStatus::ReadFailed:
            return kExitUnreadable;
        case PredictStatus::OutOfMemory:
        case PredictStatus::Failed:
            break;
    }
    return kExitInternal;
}

namespace {

bool IsEvaluation(CliCommand command) noexcept {
    return command == CliCommand::Backtest || command == CliCommand::Sweep ||
           command == CliCommand::Randomness;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool showProgress, CliCommand& command) {
    if (IsUpdateCommand(args) && !ParseCliArguments(args).options) {
        return RunUpdateCommand(args, out, err, showProgress);
    }
    if (IsHistoryCommand(args) && !ParseCliArguments(args).options) {
        return RunHistoryCommand(args, std::cin, out, err);
    }
    const CliParse parse = ParseCliArguments(args);
    if (!parse.options) {
        err << UsageErrorLines(args, parse.error);
        return kExitUsage;
    }
    const CliOptions& options = *parse.options;
    command = options.command;
    switch (options.command) {
        case CliCommand::Help:
            if (options.helpFor.empty()) {
                out << CliUsage();
            } else {
                out << CommandUsage(options.helpFor);
            }
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
        case CliCommand::Check:
            return RunCheck(options, out, err);
        case CliCommand::Payouts:
            return RunPayouts(options, out, err);
    }
    return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool showProgress) noexcept {
    CliCommand command = CliCommand::Help;
    int status = kExitInternal;
    try {
        status = Dispatch(args, out, err, showProgress, command);
    } catch (const std::bad_alloc&) {
        WriteFailureLine(err, {kMsgOutOfMemory});
    } catch (...) {
        WriteFailureLine(err, {IsEvaluation(command) ? kMsgEvaluationFailed : kMsgPredictFailed});
    }
    bool written = false;
    try {
        written = out.flush().good();
    } catch (...) {
        // a stream that throws on failure: not written either
    }
    if (!written) {
        WriteFailureLine(err, {kMsgOutputFailed, OutputFailureReason(OutputErrorOf(out)), u"。"});
        return kExitIoError;
    }
    return status;
}

}  // namespace corvalith
