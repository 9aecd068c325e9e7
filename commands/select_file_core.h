// The window-free part of the select-file command: the checks a freshly
// chosen history must pass and the draw number proposed after it. The
// window and `corvix-cli next-draw` both use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "commands/predict_core.h"

namespace corvalith {

struct HistoryCheck {
    PredictStatus status = PredictStatus::Failed;  // NoPath, PathNotFound, ReadFailed or Ok
    std::optional<std::int64_t> nextDraw;          // when Ok: highest draw number + 1, if any
};

// Checks that something exists at `path` (file-system bytes) and that it
// reads as a draw history, then scans it for its highest draw number. The
// loaded series are only a check and are released. Never throws.
[[nodiscard]] HistoryCheck CheckChosenHistory(const std::string& path) noexcept;

// The draw number a forecast of the history at `path` shows when the user
// keeps the proposal: highest draw number + 1 as the draw-number field reads
// it back (saturating at INT32_MAX), or 1 when the file proposes none. Only
// scans the file. Never throws.
[[nodiscard]] std::int32_t ProposedDrawNumber(const std::string& path) noexcept;

}  // namespace corvalith
