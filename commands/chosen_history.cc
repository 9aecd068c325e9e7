// The checks run before a command reads a history.
#include "commands/chosen_history.h"

#include "history/draw_history.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

// A name is given and something exists there: Ok, NoPath or PathNotFound.
PredictStatus CheckPath(const std::string& path) noexcept {
    if (path.empty()) return PredictStatus::NoPath;
    if (!PathExists(path)) return PredictStatus::PathNotFound;
    return PredictStatus::Ok;
}

}  // namespace

PredictStatus LoadChosenHistory(const std::string& path, PositionSeries& series,
                                std::int32_t* highestDrawNumber) noexcept {
    if (const PredictStatus checked = CheckPath(path); checked != PredictStatus::Ok) {
        return checked;
    }
    const int loaded =
        highestDrawNumber != nullptr
            ? LoadDrawHistoryWithHighest(path, series[0].get(), series[1].get(), series[2].get(),
                                         series[3].get(), *highestDrawNumber)
            : LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(),
                              series[3].get());
    return loaded == 0 ? PredictStatus::Ok : PredictStatus::ReadFailed;
}

PredictStatus LoadChosenDrawTable(const std::string& path, DrawTable& table) noexcept {
    if (const PredictStatus checked = CheckPath(path); checked != PredictStatus::Ok) {
        return checked;
    }
    return LoadDrawTable(path, table) == 0 ? PredictStatus::Ok : PredictStatus::ReadFailed;
}

}  // namespace corvalith
