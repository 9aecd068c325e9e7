// The window-free core of the Predict command: a request built from the
// dialog's settings in, the formatted forecast (or the reason there is none)
// out. The window and corvix-cli both drive forecasts through RunPredict.
#pragma once

#include <cstdint>
#include <string>

namespace corvalith {

struct PredictRequest {
    std::u16string historyPath;   // path of the draw-history file
    std::int32_t drawNumber = 0;  // draw being forecast; only shown in the heading
    std::uint32_t interval = 15;  // cycle length in draws (10, 12, 15, 18, 20, 24, 30)
    std::int32_t filterKind = 0;  // 0 LPF, 1 BPF, 2 NONE (spectrum predictor)
    std::int32_t fftFlag = 0;     // FFT placement: 0 head, 1 tail, 2 center, -1 head+tail
    std::string logPath;          // trace file of the predictors; empty (the window's) = none
};

// In the order in which the checks run. `Failed` is an unexpected failure of
// the run itself (for example memory exhausted while formatting the message).
enum class PredictStatus { NoPath, PathNotFound, ReadFailed, Ok, Failed };

struct PredictOutcome {
    PredictStatus status = PredictStatus::Failed;
    std::u16string text;  // the formatted message when status is Ok, else empty
};

// Checks the path, reads the history, runs one predictor per position
// (thousands, hundreds, tens, ones) and formats the message. Writes nothing
// to disk. Never throws.
[[nodiscard]] PredictOutcome RunPredict(const PredictRequest& request) noexcept;

}  // namespace corvalith
