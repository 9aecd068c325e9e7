// Backtest: the four positions' forecasts by cycles (walk_forward.h), then
// one scoring pass over the draws.
#include "evaluate/backtest.h"

#include <span>

#include "evaluate/scoring.h"
#include "evaluate/walk_forward.h"

namespace corvalith::evaluate {

std::optional<BacktestResult> Backtest(const DrawTable& table, const Setting& setting,
                                       const EvaluationOptions& options,
                                       const RunControl& control) {
    auto cancelled = [&control] {
        return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
    };
    constexpr std::size_t kSteps = kPositionCount + 1;
    if (cancelled()) return std::nullopt;

    const std::size_t draws = detail::DrawCount(table);
    const std::size_t first = detail::FirstCandidate(table, options);
    std::array<detail::CycleForecasts, kPositionCount> forecasts;
    detail::PositionForecasts pointers{};
    if (first < draws && setting.interval != 0) {
        const FftPlacement placement = setting.fft;
        const auto firstCycle = static_cast<std::uint32_t>(first / setting.interval);
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            // The last draw is forecast from the draws before it: draws - 1 values.
            const std::span<const double> values(table.values[p].data(), draws - 1);
            auto cycles = detail::ForecastCycles(values, {setting.filter, setting.interval},
                                                 {&placement, 1}, firstCycle, control.cancel);
            if (!cycles) return std::nullopt;
            forecasts[p] = std::move((*cycles)[0]);
            pointers[p] = &forecasts[p];
            if (control.progress) control.progress(p + 1, kSteps);
        }
    }
    if (cancelled()) return std::nullopt;
    BacktestResult result =
        detail::ScoreForecasts(table, setting, options, pointers, detail::RankByCounts(table));
    if (control.progress) control.progress(kSteps, kSteps);
    return result;
}

}  // namespace corvalith::evaluate
