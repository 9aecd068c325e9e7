// The checks run before a command reads a history.
#include "commands/chosen_history.h"

#include "history/draw_history.h"
#include "text/file_system_path.h"

namespace corvalith {

PredictStatus LoadChosenHistory(const std::string& path, PositionSeries& series,
                                std::int32_t* highestDrawNumber) noexcept {
    if (path.empty()) return PredictStatus::NoPath;
    if (!PathExists(path)) return PredictStatus::PathNotFound;
    const int loaded =
        highestDrawNumber != nullptr
            ? LoadDrawHistoryWithHighest(path, series[0].get(), series[1].get(), series[2].get(),
                                         series[3].get(), *highestDrawNumber)
            : LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(),
                              series[3].get());
    return loaded == 0 ? PredictStatus::Ok : PredictStatus::ReadFailed;
}

}  // namespace corvalith
