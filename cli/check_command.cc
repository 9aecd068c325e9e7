// The check reads the file with the reader's own line rule (history/
// history_check), so what it lists is exactly why a forecast would refuse
// the file; the payout fields are listed too but marked apart.
#include "cli/check_command.h"

#include <nlohmann/json.hpp>

#include "cli/cli_run.h"
#include "commands/messages.h"
#include "history/history_check.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

std::string CheckJson(const std::string& path, const HistoryDiagnosis& diagnosis) {
    nlohmann::ordered_json problems = nlohmann::ordered_json::array();
    for (const HistoryProblem& p : diagnosis.problems) {
        problems.push_back({{"line", p.line},
                            {"field", p.field},
                            {"reason", Utf16ToUtf8(p.reason)},
                            {"text", Utf16ToUtf8(p.text)},
                            {"payout", p.payout}});
    }
    const nlohmann::ordered_json report = {{"history", Utf16ToUtf8(PathFromFileSystem(path))},
                                           {"loads", diagnosis.Loads()},
                                           {"problemCount", diagnosis.problemCount},
                                           {"problems", std::move(problems)}};
    return report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string CheckText(const HistoryDiagnosis& diagnosis) {
    std::string text = Utf16ToUtf8(ProblemLines(diagnosis));
    if (diagnosis.Clean()) {
        text += "問題はありません。この履歴は読み込めます。\n";
    } else if (diagnosis.Loads()) {
        text += "予想には読み込めますが、払戻金の列に問題があります。\n";
    } else {
        text += "この履歴は読み込めません。\n";
    }
    return text;
}

}  // namespace

int RunCheck(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const std::string& path = options.history;
    PredictStatus status = PredictStatus::Ok;
    if (path.empty()) {
        status = PredictStatus::NoPath;
    } else if (!PathExists(path)) {
        status = PredictStatus::PathNotFound;
    }
    if (status != PredictStatus::Ok) {
        err << Utf16ToUtf8(FailureMessage(status)) << '\n';
        return ExitCodeFor(status);
    }
    const HistoryDiagnosis diagnosis = DiagnoseHistory(path);
    if (diagnosis.outOfMemory) {
        err << Utf16ToUtf8(kMsgOutOfMemory) << '\n';
        return kExitInternal;
    }
    out << (options.format == OutputFormat::Json ? CheckJson(path, diagnosis)
                                                 : CheckText(diagnosis));
    return diagnosis.Clean() ? kExitOk : kExitUnreadable;
}

std::string FirstLoadProblem(const std::string& path) noexcept {
    try {
        const HistoryDiagnosis diagnosis = DiagnoseHistory(path);
        if (!diagnosis.refusal) return {};
        return Utf16ToUtf8(ProblemLine(*diagnosis.refusal));
    } catch (...) {
        return {};  // only memory: the message alone then
    }
}

void ReportLoadFailure(std::ostream& err, std::string_view message, const std::string& path) {
    err << message << '\n';
    const std::string problem = FirstLoadProblem(path);
    if (!problem.empty()) err << problem << '\n';
}

}  // namespace corvalith
