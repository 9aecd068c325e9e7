// The checks every command runs on the history the user chose, in order: a
// name is given, something exists there, and it reads as a draw history.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "commands/predict_core.h"
#include "dsp/wa_data.h"
#include "history/draw_table.h"

namespace corvalith {

// The four position series, thousands first.
using PositionSeries = std::array<ScopedWAData, 4>;

// Checks `path` (file-system bytes) and loads it into `series`: NoPath,
// PathNotFound, ReadFailed or OutOfMemory (series untouched) or Ok. With `highestDrawNumber`,
// also sets it, when Ok, to the highest draw number in the file as
// ScanHighestDrawNumber finds it, from the same read. Never throws.
[[nodiscard]] PredictStatus LoadChosenHistory(const std::string& path, PositionSeries& series,
                                              std::int32_t* highestDrawNumber = nullptr) noexcept;

// The same checks, then the history with its draw numbers into `table`
// (untouched unless Ok), as the evaluation reads it. Never throws.
[[nodiscard]] PredictStatus LoadChosenDrawTable(const std::string& path, DrawTable& table) noexcept;

// The same, telling `progress` how far the read is (ReadFailed when it
// stopped the load). Never throws.
[[nodiscard]] PredictStatus LoadChosenDrawTable(const std::string& path, DrawTable& table,
                                                const LoadProgress& progress) noexcept;

}  // namespace corvalith
