// CheckChosenHistory: existence, a trial load, the highest-number scan.
#include "commands/select_file_core.h"

#include <array>

#include "commands/chosen_history.h"
#include "history/draw_number.h"

namespace corvalith {

HistoryCheck CheckChosenHistory(const std::string& path) noexcept {
    PositionSeries series;
    const PredictStatus loaded = LoadChosenHistory(path, series);
    if (loaded != PredictStatus::Ok) return {loaded, std::nullopt};
    return {PredictStatus::Ok, NextDrawNumber(ScanHighestDrawNumber(path))};
}

}  // namespace corvalith
