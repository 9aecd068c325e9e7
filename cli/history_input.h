// The history an evaluation command reads: the window's path and load
// checks, then the rules of evaluation (at least one draw, draw numbers
// strictly ascending in file order), each failure as one stderr line and
// the exit status that reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "history/draw_table.h"

namespace corvalith {

// What the reports say about a history: its size and its first and last
// draw numbers in file order (nothing when it has no draws).
struct HistorySummary {
    std::size_t draws = 0;
    std::optional<std::int32_t> firstDraw;
    std::optional<std::int32_t> lastDraw;
};
[[nodiscard]] HistorySummary SummaryOf(const DrawTable& table) noexcept;

// Values that are not a digit 0-9 at `position`, over all draws.
[[nodiscard]] std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept;

struct HistoryInput {
    int exitCode = 0;   // 0 when `table` is ready
    std::string error;  // otherwise the line for stderr (UTF-8, without the line end)
    DrawTable table;
};

// `path` is in file-system bytes. With `forEvaluation` false only the path
// and load checks apply (a header-only history is then fine).
[[nodiscard]] HistoryInput ReadHistory(const std::string& path, bool forEvaluation);

}  // namespace corvalith
