// CheckChosenHistory: existence, a trial load, the highest-number scan;
// ProposedDrawNumber: the scan alone.
#include "commands/select_file_core.h"

#include <array>
#include <limits>

#include "dsp/wa_data.h"
#include "history/draw_history.h"
#include "history/draw_number.h"
#include "text/file_system_path.h"

namespace corvalith {

HistoryCheck CheckChosenHistory(const std::string& path) noexcept {
    if (path.empty()) return {PredictStatus::NoPath, std::nullopt};
    if (!PathExists(path)) return {PredictStatus::PathNotFound, std::nullopt};
    std::array<ScopedWAData, 4> series;
    if (LoadDrawHistory(path, series[0].get(), series[1].get(), series[2].get(), series[3].get()) !=
        0) {
        return {PredictStatus::ReadFailed, std::nullopt};
    }
    return {PredictStatus::Ok, NextDrawNumber(ScanHighestDrawNumber(path))};
}

std::int32_t ProposedDrawNumber(const std::string& path) noexcept {
    const auto next = NextDrawNumber(ScanHighestDrawNumber(path));
    if (!next) return 1;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(*next > kMax ? kMax : *next);
}

}  // namespace corvalith
