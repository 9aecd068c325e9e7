// Sweep: the settings that share a filter and an interval are one unit of
// work, run together so that they share their count series, filtering and
// transforms. Units go to the worker threads from one shared counter, the
// costliest first; every result has its own slot, so the outcome is the
// same for any number of threads.
#include "evaluate/sweep.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

#include "dsp/intervals.h"
#include "evaluate/bet_draws.h"
#include "evaluate/scoring.h"
#include "evaluate/walk_forward.h"
#include "evaluate/worker_threads.h"

namespace corvalith::evaluate {
namespace {

// Settings with one filter and interval: their indices and placements.
struct Unit {
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = 0;
    std::vector<std::size_t> settings;
    std::vector<FftPlacement> placements;
};

std::vector<Unit> UnitsOf(const std::vector<Setting>& settings) {
    std::vector<Unit> units;
    for (std::size_t s = 0; s < settings.size(); ++s) {
        const Setting& setting = settings[s];
        auto unit = std::find_if(units.begin(), units.end(), [&](const Unit& u) {
            return u.filter == setting.filter && u.interval == setting.interval;
        });
        if (unit == units.end()) {
            units.push_back({setting.filter, setting.interval, {}, {}});
            unit = units.end() - 1;
        }
        unit->settings.push_back(s);
        unit->placements.push_back(setting.fft);
    }
    // Shorter intervals have more cycles, and the placements beyond the head
    // a transform per cycle: those units go first.
    std::stable_sort(units.begin(), units.end(), [](const Unit& a, const Unit& b) {
        const bool aHeadOnly = a.filter == FilterKind::None;
        const bool bHeadOnly = b.filter == FilterKind::None;
        if (aHeadOnly != bHeadOnly) return bHeadOnly;
        return a.interval < b.interval;
    });
    return units;
}

// The share of a unit's work that is its forecasts (the rest is the scoring).
constexpr double kForecastShare = 0.95;

// Each unit's estimated work: its forecasts at the four positions, and a
// scoring pass per setting counted as one cycle per draw (at least 1 each).
std::vector<double> UnitCosts(const DrawTable& table, const EvaluationOptions& options,
                              const std::vector<Unit>& units) {
    const std::size_t draws = detail::DrawCount(table);
    const std::size_t first = detail::FirstCandidate(table, options);
    std::vector<double> costs;
    costs.reserve(units.size());
    for (const Unit& unit : units) {
        double cost = 1.0;
        if (first < draws && unit.interval != 0) {
            const auto firstCycle = static_cast<std::uint32_t>(first / unit.interval);
            cost += static_cast<double>(kPositionCount) *
                    detail::ForecastWork(draws - 1, {unit.filter, unit.interval}, unit.placements,
                                         firstCycle);
            cost += static_cast<double>(unit.settings.size() * draws);
        }
        costs.push_back(cost);
    }
    return costs;
}

bool IsSet(const std::atomic<bool>* flag) noexcept {
    return flag != nullptr && flag->load(std::memory_order_relaxed);
}

// What the sweep asks of every setting besides its forecasts.
struct Shared {
    detail::CountRanks ranks;
    std::optional<BetType> bet;
    std::vector<Number4> hot;  // the hot picks, with a bet
    std::span<const DrawPayouts> payouts;
    bool real = false;
};

// The draws any setting may bet on (a candidate with four digits), their
// payouts, for ResolveAmounts.
AmountsUsed SweepAmounts(const DrawTable& table, const EvaluationOptions& options, BetType type,
                         const MoneyAmounts& amounts) {
    std::vector<BetDraw> draws;
    const std::size_t n = detail::DrawCount(table);
    for (std::size_t j = detail::FirstCandidate(table, options); j < n; ++j) {
        if (options.from && table.numbers[j] < *options.from) continue;
        BetDraw draw;
        bool all = true;
        for (std::size_t p = 0; p < kPositionCount && all; ++p) {
            const double value = table.values[p][j];
            all = IsDigitValue(value);
            if (all) draw.drawn[p] = static_cast<std::uint8_t>(value);
        }
        if (!all) continue;
        if (j < amounts.payouts.size()) draw.paid = amounts.payouts[j];
        draws.push_back(draw);
    }
    return ResolveAmounts(draws, type, amounts);
}

struct SettingResult {
    BacktestResult result;
    std::optional<MoneyLine> money;
};

// One unit's backtests; nothing when cancelled.
std::optional<std::vector<SettingResult>> RunUnit(const DrawTable& table,
                                                  const EvaluationOptions& options,
                                                  const std::vector<Setting>& settings,
                                                  const Unit& unit, const Shared& shared,
                                                  const std::atomic<bool>* cancel,
                                                  const std::function<void(double)>& share) {
    const std::size_t draws = detail::DrawCount(table);
    const std::size_t first = detail::FirstCandidate(table, options);
    const std::size_t count = unit.settings.size();
    std::array<std::vector<detail::CycleForecasts>, kPositionCount> forecasts;
    if (first < draws && unit.interval != 0) {
        const auto firstCycle = static_cast<std::uint32_t>(first / unit.interval);
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            const std::span<const double> values(table.values[p].data(), draws - 1);
            std::function<void(double)> within;
            if (share) {
                within = [&share, p](double done) {
                    share((static_cast<double>(p) + done) / static_cast<double>(kPositionCount));
                };
            }
            auto cycles =
                detail::ForecastCycles(values, {unit.filter, unit.interval}, unit.placements,
                                       firstCycle, cancel, within ? &within : nullptr);
            if (!cycles) return std::nullopt;
            forecasts[p] = std::move(*cycles);
        }
    }
    std::vector<SettingResult> results;
    results.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        detail::PositionForecasts pointers{};
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            if (!forecasts[p].empty()) pointers[p] = &forecasts[p][k];
        }
        const Setting& setting = settings[unit.settings[k]];
        SettingResult result{
            detail::ScoreForecasts(table, setting, options, pointers, shared.ranks), {}};
        if (shared.bet) {
            const auto draws =
                detail::BetDrawsOf(table, setting, options, pointers, shared.hot, shared.payouts);
            result.money = TallyMoney(draws, *shared.bet, Bettor::Pick, nullptr, shared.real);
        }
        results.push_back(result);
    }
    return results;
}

}  // namespace

std::vector<Setting> SweepSettings() {
    std::vector<Setting> settings;
    for (const FilterKind filter : {FilterKind::Lpf, FilterKind::Bpf}) {
        for (const std::uint32_t interval : kIntervals) {
            for (const FftPlacement placement : kAllPlacements) {
                settings.push_back({filter, interval, placement});
            }
        }
    }
    for (const std::uint32_t interval : kIntervals) {
        settings.push_back({FilterKind::None, interval, FftPlacement::Head});
    }
    return settings;
}

std::optional<SweepResult> Sweep(const DrawTable& table, const EvaluationOptions& options, int top,
                                 unsigned jobs, const RunControl& control,
                                 std::optional<BetType> bet, const MoneyAmounts& amounts) {
    const std::vector<Setting> settings = SweepSettings();
    const std::vector<Unit> units = UnitsOf(settings);
    std::vector<std::optional<SettingResult>> results(settings.size());
    Shared shared;  // read only once the workers start
    shared.ranks = detail::RankByCounts(table);
    shared.bet = bet;
    AmountsUsed used;
    if (bet) {
        shared.hot = detail::HotPicks(table);
        used = SweepAmounts(table, options, *bet, amounts);
        shared.payouts = amounts.payouts;
        shared.real = used.real;
    }

    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};  // cancelled, or a worker failed
    std::mutex mutex;               // guards done, error, the shares and the progress calls
    std::size_t done = 0;
    std::exception_ptr error;

    // The share of the sweep done: each unit weighed by its estimated work,
    // credited as its positions report, so that the share moves while the
    // first (and costliest) units are still running.
    const std::vector<double> costs = UnitCosts(table, options, units);
    double totalCost = 0.0;
    for (const double cost : costs) totalCost += cost;
    std::vector<double> credited(units.size(), 0.0);
    double creditedSum = 0.0;
    // Under `mutex`.
    auto credit = [&](std::size_t u, double within) {
        const double now = costs[u] * std::clamp(within, 0.0, 1.0);
        if (now <= credited[u]) return;
        creditedSum += now - credited[u];
        credited[u] = now;
        // Every unit done is the whole sweep, whatever the sum's rounding.
        control.share(done == settings.size() ? 1.0 : std::min(1.0, creditedSum / totalCost));
    };

    auto work = [&] {
        for (;;) {
            if (stop.load() || IsSet(control.cancel)) {
                stop.store(true);
                return;
            }
            const std::size_t u = next.fetch_add(1);
            if (u >= units.size()) return;
            try {
                std::function<void(double)> share;
                if (control.share) {
                    share = [&, u](double within) {
                        const std::lock_guard<std::mutex> lock(mutex);
                        credit(u, within * kForecastShare);
                    };
                }
                auto unitResults =
                    RunUnit(table, options, settings, units[u], shared, control.cancel, share);
                if (!unitResults) {
                    stop.store(true);
                    return;
                }
                for (std::size_t k = 0; k < unitResults->size(); ++k) {
                    results[units[u].settings[k]] = (*unitResults)[k];
                }
                const std::lock_guard<std::mutex> lock(mutex);
                done += unitResults->size();
                if (control.progress) control.progress(done, settings.size());
                if (control.share) credit(u, 1.0);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex);
                if (!error) error = std::current_exception();
                stop.store(true);
                return;
            }
        }
    };

    unsigned threads = jobs != 0 ? jobs : std::thread::hardware_concurrency();
    threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(units.size()));
    // The result does not depend on the number of threads, so a thread that
    // cannot start only makes the run slower, never a failure.
    static_cast<void>(RunOnThreads(threads, work, control.startThread));
    if (error) std::rethrow_exception(error);
    if (stop.load() || IsSet(control.cancel)) return std::nullopt;

    SweepResult sweep;
    sweep.amounts = used;
    sweep.settings.reserve(settings.size());
    std::vector<double> pValues;
    pValues.reserve(settings.size() * kPositionCount);
    std::vector<double> moneyP;
    for (auto& result : results) {
        SweepEntry entry;
        entry.result = result->result;
        entry.money = result->money;
        if (entry.money) moneyP.push_back(entry.money->pValue);
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            entry.statistics[p] = StatisticsFor(entry.result.positions[p], top);
            pValues.push_back(entry.statistics[p].pValue);
        }
        sweep.settings.push_back(entry);
    }
    const std::vector<double> adjusted = HolmAdjust(pValues);
    if (bet) {
        const std::vector<double> moneyHolm = HolmAdjust(moneyP);
        for (std::size_t s = 0; s < sweep.settings.size(); ++s) {
            sweep.settings[s].moneyPHolm = moneyHolm[s];
        }
    }
    double bestRate = -1.0;
    for (std::size_t s = 0; s < sweep.settings.size(); ++s) {
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            SweepEntry& entry = sweep.settings[s];
            entry.pHolm[p] = adjusted[s * kPositionCount + p];
            if (entry.pHolm[p] < kSignificance) sweep.anySignificant = true;
            if (entry.statistics[p].rate > bestRate) {
                bestRate = entry.statistics[p].rate;
                sweep.bestSetting = s;
                sweep.bestPosition = p;
            }
        }
    }
    return sweep;
}

}  // namespace corvalith::evaluate
