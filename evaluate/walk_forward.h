// The forecasts of a walk-forward evaluation, made fast: what the predictors
// give for every prefix of a position's series, without running them once
// per prefix. Internal to the evaluation (the backtest, the sweep and their
// tests use it).
//
// The forecast for a prefix of j draws depends only on M = j / interval: the
// count table is that of the first M cycles, and the causal filter's output
// for M cycles is the first M values of its output for more. So each digit's
// filtered count series is made once, and for every M the pipeline's frame
// (the largest power of two N <= M, placed as the pipeline places it) is
// transformed and scored with the pipeline's own functions, so that every
// score, and hence every ranking, is bit for bit the predictors'.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "evaluate/backtest.h"
#include "predict/cycle_counts.h"

namespace corvalith::evaluate::detail {

// The ten digits, best first, as RankDigits orders them.
using Ranking = std::array<std::uint8_t, kDigits>;

// Entry M: the ranking for any prefix with M whole cycles, or nothing where
// the predictor answers "Error" (M == 0, an undefined placement) or where
// the entry was not asked for.
using CycleForecasts = std::vector<std::optional<Ranking>>;

// What the predictors do for a setting: which filter they apply and where
// they place the frame (NONE always on the head; a filter kind other than
// LPF, BPF and NONE filters nothing but keeps the placement, as PredictDigit).
struct ForecastRule {
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = 15;  // >= 1
};

// The forecasts of one position for M = 0 .. values.size() / interval under
// `rule`, one CycleForecasts per entry of `placements` (computed together,
// sharing their transforms). Entries below `firstCycle` are left empty.
// Nothing when `cancel` was seen set. With `share`, reports the share of
// ForecastWork done, rising in small steps, on the calling thread. May throw
// std::bad_alloc.
[[nodiscard]] std::optional<std::vector<CycleForecasts>> ForecastCycles(
    std::span<const double> values, const ForecastRule& rule,
    std::span<const FftPlacement> placements, std::uint32_t firstCycle = 0,
    const std::atomic<bool>* cancel = nullptr,
    const std::function<void(double share)>* share = nullptr);

// An estimate of what ForecastCycles spends on the same arguments, in
// transform lengths: a cycle costs its frame length once per placement that
// transforms a frame of its own, and 1 when only the head is asked for. Only
// ratios of it mean anything.
[[nodiscard]] double ForecastWork(std::size_t values, const ForecastRule& rule,
                                  std::span<const FftPlacement> placements,
                                  std::uint32_t firstCycle = 0) noexcept;

// The forecast RunPredict gives for every prefix of `values` under
// `setting`: entry j (0 .. values.size()) for the first j values. Nothing
// for "Error". May throw std::bad_alloc.
[[nodiscard]] std::vector<std::optional<Ranking>> ForecastEveryPrefix(
    std::span<const double> values, const Setting& setting);

}  // namespace corvalith::evaluate::detail
