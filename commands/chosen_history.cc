// The checks run before a command reads a history.
#include "commands/chosen_history.h"

#include "history/draw_history.h"
#include "text/file_system_path.h"

namespace corvalith {

PredictStatus LoadChosenHistory(const std::string& path, PositionSeries& series) noexcept {
    if (path.empty()) return PredictStatus::NoPath;
    if (!PathExists(path)) return PredictStatus::PathNotFound;
    if (LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(), series[3].get()) !=
        0) {
        return PredictStatus::ReadFailed;
    }
    return PredictStatus::Ok;
}

}  // namespace corvalith
