// CheckChosenHistory: existence, a trial load, the highest-number scan;
// ProposedDrawNumber: the number a forecast shows for it.
#include "commands/select_file_core.h"

#include <limits>

#include "commands/chosen_history.h"
#include "history/draw_number.h"

namespace corvalith {

HistoryCheck CheckChosenHistory(const std::string& path) noexcept {
    PositionSeries series;
    const PredictStatus loaded = LoadChosenHistory(path, series);
    if (loaded != PredictStatus::Ok) return {loaded, std::nullopt};
    return {PredictStatus::Ok, NextDrawNumber(ScanHighestDrawNumber(path))};
}

std::int32_t ProposedDrawNumber(std::int32_t highest) noexcept {
    const auto next = NextDrawNumber(highest);
    if (!next) return 1;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(*next > kMax ? kMax : *next);
}

}  // namespace corvalith
