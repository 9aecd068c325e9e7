// The window-free core of the Predict command: a request built from the
// dialog's settings in, the formatted forecast (or the reason there is none)
// out. The window and corvix-cli both drive forecasts through RunPredict.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "dsp/intervals.h"
#include "predict/cycle_counts.h"

namespace corvalith {

struct PredictRequest {
    std::u16string historyPath;   // path of the draw-history file
    std::int32_t drawNumber = 0;  // draw being forecast; only shown in the heading
    // Instead of drawNumber, show the number the window proposes for this file
    // (its highest draw number + 1, saturating at INT32_MAX, or 1), taken
    // from the same read as the forecast.
    bool proposeDrawNumber = false;
    std::uint32_t interval = kDefaultInterval;  // cycle length in draws, one of kIntervals
    // The filter kind as the window's radio group hands it on (an `iFType`:
    // FilterKind::None selects the spectrum predictor).
    std::int32_t filterKind = IFType(FilterKind::Lpf);
    std::int32_t fftFlag = FftFlag(FftPlacement::Head);  // passed through as `fftFlag`
    std::string logPath;  // trace file of the predictors; empty (the window's) = none
};

// In the order in which the checks run. `OutOfMemory`: memory ran out while
// the history was read or the forecast made (a predictor that cannot get its
// working memory says "Error" in its text instead, as every predictor failure).
// `Failed` is any other unexpected failure of the run itself.
enum class PredictStatus { NoPath, PathNotFound, ReadFailed, Ok, Failed, OutOfMemory };

struct PredictOutcome {
    PredictStatus status = PredictStatus::Failed;
    std::u16string text;  // the formatted message when status is Ok, else empty
};

// Checks the path, reads the history, runs one predictor per position
// (thousands, hundreds, tens, ones) and formats the message. Writes nothing
// to disk. Never throws.
[[nodiscard]] PredictOutcome RunPredict(const PredictRequest& request) noexcept;

// One position of a forecast in detail.
struct PositionForecast {
    std::u16string text;                   // the predictor's text as the message shows it
    bool ranked = false;                   // false when the text is "Error"
    std::array<double, kDigits> scores{};  // by digit 0-9, when ranked
    std::array<int, kDigits> ranking{};    // digits by descending score, when ranked
    // Each digit's normalised power spectrum (its peak is the score), when ranked.
    std::array<std::vector<double>, kDigits> spectra;
};

struct PredictDetail {
    PredictStatus status = PredictStatus::Failed;
    std::u16string text;                        // RunPredict's message when status is Ok
    std::int32_t drawNumber = 0;                // the draw number its heading shows
    std::array<PositionForecast, 4> positions;  // thousands first, when status is Ok
};

// RunPredict with each position's scores and ranking; the same checks,
// trace and message. Never throws.
[[nodiscard]] PredictDetail RunPredictDetail(const PredictRequest& request) noexcept;

// RunPredictDetail that looks at `cancel` after the read and after each
// position: nothing once it was seen set. With `share`, reports the share
// done after the read and after each position. Never throws.
[[nodiscard]] std::optional<PredictDetail> RunPredictDetail(
    const PredictRequest& request, const std::atomic<bool>& cancel,
    const std::function<void(double share)>& share = {}) noexcept;

}  // namespace corvalith
