// The history an evaluation command reads: the window's path and load
// checks, then the rules of evaluation (at least one draw, draw numbers
// strictly ascending in file order), each failure as one stderr line and
// the exit status that reports it.
#pragma once

#include <string>

#include "history/draw_table.h"
#include "history/history_summary.h"

namespace corvalith {

struct HistoryInput {
    int exitCode = 0;   // 0 when `table` is ready
    std::string error;  // otherwise the text for stderr (UTF-8, without the last line end): one
                        // line, or for a history that does not load two: its first problem
    DrawTable table;
};

// `path` is in file-system bytes. With `forEvaluation` false only the path
// and load checks apply (a header-only history is then fine).
[[nodiscard]] HistoryInput ReadHistory(const std::string& path, bool forEvaluation);

}  // namespace corvalith
