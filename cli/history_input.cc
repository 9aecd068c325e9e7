// Reading a history for the reports: the same messages and exit statuses as
// a forecast for the path and load failures, 65 for what only evaluation needs.
#include "cli/history_input.h"

#include "cli/cli_run.h"
#include "commands/chosen_history.h"
#include "commands/messages.h"
#include "text/utf8.h"

namespace corvalith {

HistoryInput ReadHistory(const std::string& path, bool forEvaluation) {
    HistoryInput input;
    const auto fail = [&input](PredictStatus status) {
        input.exitCode = ExitCodeFor(status);
        input.error = Utf16ToUtf8(FailureMessage(status));
        return std::move(input);
    };
    const PredictStatus loaded = LoadChosenDrawTable(path, input.table);
    if (loaded != PredictStatus::Ok) return fail(loaded);
    if (!forEvaluation) return input;
    if (input.table.size() == 0) {
        input.exitCode = kExitNotEvaluable;
        input.error = Utf16ToUtf8(kMsgNoDraws);
    } else if (const auto violation = FindOrderViolation(input.table)) {
        input.exitCode = kExitNotEvaluable;
        input.error = Utf16ToUtf8(
            OrderViolationMessage(violation->line, violation->current, violation->previous));
    }
    return input;
}

}  // namespace corvalith
