// The load and the evaluation's entry rules, with the texts that report them.
#include "commands/checked_history.h"

#include "commands/chosen_history.h"
#include "commands/messages.h"

namespace corvalith {

CheckedHistory LoadCheckedHistory(const std::string& path, bool forEvaluation,
                                  const LoadProgress& progress) {
    CheckedHistory history;
    history.status = LoadChosenDrawTable(path, history.table, progress);
    if (history.status != PredictStatus::Ok || !forEvaluation) return history;
    if (history.table.size() == 0) {
        history.notEvaluable = kMsgNoDraws;
    } else if (const auto violation = FindOrderViolation(history.table)) {
        history.notEvaluable =
            OrderViolationMessage(violation->line, violation->current, violation->previous);
    }
    return history;
}

}  // namespace corvalith
