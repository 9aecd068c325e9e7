// Reading a history for the reports: the same messages and exit statuses as
// a forecast for the path and load failures, 65 for what only evaluation needs.
#include "cli/history_input.h"

#include "cli/check_command.h"
#include "cli/cli_run.h"
#include "commands/checked_history.h"
#include "commands/messages.h"
#include "text/utf8.h"

namespace corvalith {

HistoryInput ReadHistory(const std::string& path, bool forEvaluation) {
    HistoryInput input;
    CheckedHistory checked = LoadCheckedHistory(path, forEvaluation);
    if (checked.status != PredictStatus::Ok) {
        input.exitCode = ExitCodeFor(checked.status);
        input.error = Utf16ToUtf8(FailureMessage(checked.status));
        if (checked.status == PredictStatus::ReadFailed) {
            // The first problem as a second line.
            const std::string problem = FirstLoadProblem(path);
            if (!problem.empty()) input.error += "\n" + problem;
        }
    } else if (!checked.notEvaluable.empty()) {
        input.exitCode = kExitNotEvaluable;
        input.error = Utf16ToUtf8(checked.notEvaluable);
    }
    input.table = std::move(checked.table);
    return input;
}

}  // namespace corvalith
