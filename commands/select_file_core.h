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
    PredictStatus status =
        PredictStatus::Failed;             // NoPath, PathNotFound, ReadFailed, OutOfMemory or Ok
    std::optional<std::int64_t> nextDraw;  // when Ok: highest draw number + 1, if any
};

// Checks that something exists at `path` (file-system bytes) and that it
// reads as a draw history, then scans it for its highest draw number. The
// loaded series are only a check and are released. Never throws.
[[nodiscard]] HistoryCheck CheckChosenHistory(const std::string& path) noexcept;

// The draw number shown after a history whose highest number is `highest`:
// highest + 1 as the draw-number field reads it (saturating at INT32_MAX), or
// 1 when there is none.
[[nodiscard]] std::int32_t ProposedDrawNumber(std::int32_t highest) noexcept;

}  // namespace corvalith
