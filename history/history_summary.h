// What the reports say about a history besides the results: its size, its
// first and last draw numbers, and the results that are not a digit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "history/draw_table.h"

namespace corvalith {

// Its size, its first and last draw numbers in file order (nothing when it
// has no draws) and how many results of each position are not a digit.
struct HistorySummary {
    std::size_t draws = 0;
    std::optional<std::int32_t> firstDraw;
    std::optional<std::int32_t> lastDraw;
    std::array<std::size_t, kPositionCount> nonDigits{};
};
[[nodiscard]] HistorySummary SummaryOf(const DrawTable& table) noexcept;

// Values that are not a digit (IsDigitValue) at `position`, over all draws.
[[nodiscard]] std::size_t NonDigitCount(const DrawTable& table, std::size_t position) noexcept;

}  // namespace corvalith
