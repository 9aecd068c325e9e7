// CheckChosenHistory: existence, a trial load that also finds the highest number;
// ProposedDrawNumber: the number a forecast shows for it.
#include "commands/select_file_core.h"

#include <limits>

#include "commands/chosen_history.h"
#include "history/draw_number.h"

namespace corvalith {

HistoryCheck CheckChosenHistory(const std::string& path) noexcept {
    // The trial load finds the highest number in the same read, and says when
    // memory ran out; a scan of its own would take that for "no number".
    PositionSeries series;
    std::int32_t highest = 0;
    const PredictStatus loaded = LoadChosenHistory(path, series, &highest);
    if (loaded != PredictStatus::Ok) return {loaded, std::nullopt};
    return {PredictStatus::Ok, NextDrawNumber(highest)};
}

std::int32_t ProposedDrawNumber(std::int32_t highest) noexcept {
    const auto next = NextDrawNumber(highest);
    if (!next) return 1;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(*next > kMax ? kMax : *next);
}

}  // namespace corvalith
