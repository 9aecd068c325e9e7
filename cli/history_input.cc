// Reading a history for the reports: the same messages and exit statuses as
// a forecast for the path and load failures, 65 for what only evaluation needs.
#include "cli/history_input.h"

#include "cli/cli_run.h"
#include "commands/messages.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {

HistorySummary SummaryOf(const DrawTable& table) noexcept {
    HistorySummary summary;
    summary.draws = table.size();
    if (!table.numbers.empty()) {
        summary.firstDraw = table.numbers.front();
        summary.lastDraw = table.numbers.back();
    }
    return summary;
}

std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept {
    std::size_t count = 0;
    for (const double value : table.values[position]) {
        if (!(value >= 0 && value <= 9)) ++count;  // also NaN
    }
    return count;
}

std::string OrderViolationMessage(const OrderViolation& violation) {
    return "回号が昇順ではありません: " + std::to_string(violation.line) + " 行目が第" +
           std::to_string(violation.current) + "回、その前の行が第" +
           std::to_string(violation.previous) + "回です。";
}

std::string NoDrawsMessage() { return "評価する抽せんがありません（履歴はヘッダ行だけです）。"; }

HistoryInput ReadHistory(const std::string& path, bool forEvaluation) {
    HistoryInput input;
    const auto fail = [&input](PredictStatus status) {
        input.exitCode = ExitCodeFor(status);
        input.error = Utf16ToUtf8(FailureMessage(status));
        return std::move(input);
    };
    if (path.empty()) return fail(PredictStatus::NoPath);
    if (!PathExists(path)) return fail(PredictStatus::PathNotFound);
    if (LoadDrawTable(path, input.table) != 0) return fail(PredictStatus::ReadFailed);
    if (!forEvaluation) return input;
    if (input.table.size() == 0) {
        input.exitCode = kExitNotEvaluable;
        input.error = NoDrawsMessage();
    } else if (const auto violation = FindOrderViolation(input.table)) {
        input.exitCode = kExitNotEvaluable;
        input.error = OrderViolationMessage(*violation);
    }
    return input;
}

}  // namespace corvalith
