// The checks every command runs on the history the user chose, in order: a
// name is given, something exists there, and it reads as a draw history.
#pragma once

#include <array>
#include <string>

#include "commands/predict_core.h"
#include "dsp/wa_data.h"

namespace corvalith {

// The four position series, thousands first.
using PositionSeries = std::array<ScopedWAData, 4>;

// Checks `path` (file-system bytes) and loads it into `series`: NoPath,
// PathNotFound, ReadFailed (series untouched) or Ok. Never throws.
[[nodiscard]] PredictStatus LoadChosenHistory(const std::string& path,
                                              PositionSeries& series) noexcept;

}  // namespace corvalith
