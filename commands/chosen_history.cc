// The checks run before a command reads a history.
#include "commands/chosen_history.h"

#include "dsp/status.h"
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

// The reader's status as the command's: exhausted memory is not the file's fault.
PredictStatus StatusOfLoad(int status) noexcept {
    if (status == kOk) return PredictStatus::Ok;
    return status == kOutOfMemory ? PredictStatus::OutOfMemory : PredictStatus::ReadFailed;
}

}  // namespace

PredictStatus LoadChosenHistory(const std::string& path, PositionSeries& series,
                                std::int32_t* highestDrawNumber) noexcept {
    if (const PredictStatus checked = CheckPath(path); checked != PredictStatus::Ok) {
        return checked;
    }
    return StatusOfLoad(
        highestDrawNumber != nullptr
            ? LoadDrawHistoryWithHighest(path, series[0].get(), series[1].get(), series[2].get(),
                                         series[3].get(), *highestDrawNumber)
            : LoadDrawHistoryWithin(kHistoryLimits, path, series[0].get(), series[1].get(),
                                    series[2].get(), series[3].get()));
}

PredictStatus LoadChosenDrawTable(const std::string& path, DrawTable& table) noexcept {
    return LoadChosenDrawTable(path, table, {});
}

PredictStatus LoadChosenDrawTable(const std::string& path, DrawTable& table,
                                  const LoadProgress& progress) noexcept {
    if (const PredictStatus checked = CheckPath(path); checked != PredictStatus::Ok) {
        return checked;
    }
    return StatusOfLoad(LoadDrawTable(path, table, progress));
}

}  // namespace corvalith
