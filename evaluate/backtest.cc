// Backtest: the four positions' forecasts by cycles (walk_forward.h), then
// one scoring pass over the draws; the record and the money record walk
// the same forecasts.
#include "evaluate/backtest.h"

#include <algorithm>
#include <span>

#include "evaluate/backtest_record.h"
#include "evaluate/bet_draws.h"
#include "evaluate/money_record.h"
#include "evaluate/scoring.h"
#include "evaluate/walk_forward.h"

namespace corvalith::evaluate {
namespace {

struct Forecasts {
    std::array<detail::CycleForecasts, kPositionCount> cycles;
    bool made = false;  // false: no draw to forecast ("Error" everywhere)

    [[nodiscard]] detail::PositionForecasts Pointers() const noexcept {
        detail::PositionForecasts pointers{};
        if (made) {
            for (std::size_t p = 0; p < kPositionCount; ++p) pointers[p] = &cycles[p];
        }
        return pointers;
    }
};

// The forecasts of every position, or nothing when cancelled.
std::optional<Forecasts> ForecastPositions(const DrawTable& table, const Setting& setting,
                                           const EvaluationOptions& options,
                                           const RunControl& control, std::size_t steps) {
    auto cancelled = [&control] {
        return control.cancel != nullptr && control.cancel->load(std::memory_order_relaxed);
    };
    if (cancelled()) return std::nullopt;

    const std::size_t draws = detail::DrawCount(table);
    const std::size_t first = detail::FirstCandidate(table, options);
    Forecasts forecasts;
    if (first < draws && setting.interval != 0) {
        const FftPlacement placement = setting.fft;
        const auto firstCycle = static_cast<std::uint32_t>(first / setting.interval);
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            // The last draw is forecast from the draws before it: draws - 1 values.
            const std::span<const double> values(table.values[p].data(), draws - 1);
            // A position is one step of `steps`; its cycles report within it.
            std::function<void(double)> within;
            if (control.share) {
                within = [&control, p, steps](double share) {
                    control.share((static_cast<double>(p) + share) / static_cast<double>(steps));
                };
            }
            auto cycles =
                detail::ForecastCycles(values, {setting.filter, setting.interval}, {&placement, 1},
                                       firstCycle, control.cancel, within ? &within : nullptr);
            if (!cycles) return std::nullopt;
            forecasts.cycles[p] = std::move((*cycles)[0]);
            if (control.progress) control.progress(p + 1, steps);
        }
        forecasts.made = true;
    }
    if (cancelled()) return std::nullopt;
    return forecasts;
}

constexpr std::size_t kSteps = kPositionCount + 1;

// The end of the run, on both kinds of progress.
void Report(const RunControl& control, std::size_t done, std::size_t total) {
    if (control.progress) control.progress(done, total);
    if (control.share) control.share(static_cast<double>(done) / static_cast<double>(total));
}

}  // namespace

std::optional<BacktestResult> Backtest(const DrawTable& table, const Setting& setting,
                                       const EvaluationOptions& options,
                                       const RunControl& control) {
    const auto forecasts = ForecastPositions(table, setting, options, control, kSteps);
    if (!forecasts) return std::nullopt;
    BacktestResult result = detail::ScoreForecasts(table, setting, options, forecasts->Pointers(),
                                                   detail::RankByCounts(table));
    Report(control, kSteps, kSteps);
    return result;
}

std::optional<BacktestRecord> BacktestWithRecord(const DrawTable& table, const Setting& setting,
                                                 const EvaluationOptions& options,
                                                 const RunControl& control) {
    const auto forecasts = ForecastPositions(table, setting, options, control, kSteps);
    if (!forecasts) return std::nullopt;
    const detail::CountRanks ranks = detail::RankByCounts(table);
    BacktestRecord record;
    const detail::PositionForecasts pointers = forecasts->Pointers();
    record.result = detail::ScoreForecasts(table, setting, options, pointers, ranks);
    // The scoring's own rule: a candidate draw with a forecast and a digit.
    const std::size_t n = detail::DrawCount(table);
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const detail::CycleForecasts* cycles = pointers[p];
        if (cycles == nullptr || setting.interval == 0) continue;
        record.draws[p].reserve(record.result.positions[p].evaluated);
        for (std::size_t j = 1; j < n; ++j) {
            if (options.from && table.numbers[j] < *options.from) continue;
            const std::size_t m = j / setting.interval;
            if (m >= cycles->size() || !(*cycles)[m]) continue;
            const double value = table.values[p][j];
            if (!IsDigitValue(value)) continue;
            const auto& ranking = *(*cycles)[m];
            const auto at = std::find(ranking.begin(), ranking.end(), static_cast<int>(value));
            record.draws[p].push_back({table.numbers[j],
                                       static_cast<std::uint8_t>(at - ranking.begin() + 1),
                                       ranks.hot[p][j], ranks.cold[p][j], ranking[0]});
        }
    }
    Report(control, kSteps, kSteps);
    return record;
}

std::optional<BacktestMoney> BacktestWithMoney(const DrawTable& table, const Setting& setting,
                                               const EvaluationOptions& options, BetType type,
                                               const RunControl& control,
                                               const MoneyAmounts& amounts) {
    const auto forecasts = ForecastPositions(table, setting, options, control, kSteps);
    if (!forecasts) return std::nullopt;
    const detail::PositionForecasts pointers = forecasts->Pointers();
    BacktestMoney backtest;
    backtest.result =
        detail::ScoreForecasts(table, setting, options, pointers, detail::RankByCounts(table));
    std::vector<BetDraw> draws = detail::BetDrawsOf(table, setting, options, pointers,
                                                    detail::HotPicks(table), amounts.payouts);
    if (amounts.payoutPick) detail::ChoosePayoutPicks(draws, PaidDraws(table, amounts.payouts));
    backtest.money = RecordMoneyOf(draws, type, amounts);
    if (control.progress) control.progress(kSteps, kSteps);
    return backtest;
}

}  // namespace corvalith::evaluate
