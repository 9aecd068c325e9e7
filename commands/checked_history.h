// The history an analysis reads: the chosen-history checks and the load as
// for a forecast, then, for an evaluation, its entry rules (at least one
// draw, draw numbers strictly ascending in file order).
#pragma once

#include <string>

#include "commands/predict_core.h"
#include "history/draw_table.h"

namespace corvalith {

struct CheckedHistory {
    PredictStatus status = PredictStatus::Ok;  // not Ok: a check or the load failed
    std::u16string notEvaluable;               // status Ok but the evaluation cannot use it: why
    DrawTable table;                           // loaded when status is Ok

    [[nodiscard]] bool Ready() const noexcept {
        return status == PredictStatus::Ok && notEvaluable.empty();
    }
};

// `path` is in file-system bytes. With `forEvaluation` false only the path
// and load checks apply (a header-only history is then fine). May throw
// std::bad_alloc. `progress`, when given, is told how far the read is.
[[nodiscard]] CheckedHistory LoadCheckedHistory(const std::string& path, bool forEvaluation,
                                                const LoadProgress& progress = {});

}  // namespace corvalith
