// What the reports say about a history besides the results: its size, its
// first and last draw numbers, and the results that are not a digit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "history/draw_table.h"

namespace corvalith {

// Its size and its first and last draw numbers in file order (nothing when
// it has no draws).
struct HistorySummary {
    std::size_t draws = 0;
    std::optional<std::int32_t> firstDraw;
    std::optional<std::int32_t> lastDraw;
};
[[nodiscard]] HistorySummary SummaryOf(const DrawTable& table) noexcept;

// Values that are not a digit 0-9 at `position`, over all draws.
[[nodiscard]] std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept;

}  // namespace corvalith
