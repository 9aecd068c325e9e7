// The line loop shared by LoadDrawHistory and LoadDrawTable: one pass over a
// history file that checks every draw line and collects its result
// characters and, when asked, its draw numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "history/draw_history.h"
#include "history/draw_table.h"

namespace corvalith::detail {

// The result characters of every draw, one list per position, first line
// first. Two bytes a draw and position keep a ten-million-draw history small.
using DigitLists = std::array<std::vector<char16_t>, 4>;

// Reads every draw line of `path` under `limits` into `lists` and, when
// `numbers` is not null, the N of each line's 第N回 into `numbers`. When
// `highest` is not null it becomes the largest FirstDrawNumberIn of the draw
// lines (from 0): what ScanHighestDrawNumber finds in a file that reads
// without failure. False on any failure (the lists then hold whatever was
// read). With `progress`, tells it the bytes read each time more were read,
// and fails when it answers false. May throw std::bad_alloc.
[[nodiscard]] bool ReadDrawLines(const HistoryLimits& limits, const std::string& path,
                                 DigitLists& lists, std::vector<std::int32_t>* numbers,
                                 std::int32_t* highest = nullptr,
                                 const LoadProgress* progress = nullptr);

}  // namespace corvalith::detail
