// The two per-position predictors: one position's digit series in, the ten
// digits ranked by the peak of their per-cycle count spectrum out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp/spectrum.h"
#include "dsp/wa_data.h"
#include "predict/cycle_counts.h"

// Forecast with filtering (iFType 0 LPF, 1 BPF). Cuts `data` into cycles of
// `interval` draws, counts each digit per cycle, runs each digit's count
// series through the filtering pipeline with `fftFlag`, scores each digit by
// the largest value of its power spectrum and ranks by descending score.
// Returns "パワースペクトル予想: " + the ten digits joined by ", " (narrow code
// page 932), or exactly "Error" on any failure (invalid series, interval 0,
// fewer values than interval, a pipeline failure, memory exhausted). `self`
// is neither read nor changed. `name` labels the trace; `logPath` names the
// trace file (empty: none). Never throws.
[[nodiscard]] std::string PredictDigit(Spectrum& self, const WAData& data, std::int32_t fftFlag,
                                       std::int32_t iFType, const std::string& name,
                                       const std::string& logPath, std::uint32_t interval) noexcept;

// The same forecast without filtering, always on the head of each count
// series: sets self.fftFlag to 0 (once the series passed validation) and uses
// it as the placement flag. Never throws.
[[nodiscard]] std::string PredictPowerSpectrumDigit(Spectrum& self, const WAData& data,
                                                    const std::string& name,
                                                    const std::string& logPath,
                                                    std::uint32_t interval) noexcept;

namespace corvalith {

// One position's forecast in full: the predictor's text and, unless it is
// "Error", the scores and the ranking it was made from.
struct DigitForecast {
    std::string text;                      // exactly what the predictor returns
    bool ranked = false;                   // false when text is "Error"
    std::array<double, kDigits> scores{};  // peak of each digit's power spectrum, digit 0 first
    std::array<int, kDigits> ranking{};    // digits by descending score, ties by digit
    // Each digit's normalised power spectrum (bins 0 .. n-1), when ranked.
    std::array<std::vector<double>, kDigits> spectra;
};

// PredictDigit with its scores and ranking (same trace). Never throws.
[[nodiscard]] DigitForecast ForecastDigit(Spectrum& self, const WAData& data, std::int32_t fftFlag,
                                          std::int32_t iFType, const std::string& name,
                                          const std::string& logPath,
                                          std::uint32_t interval) noexcept;

// PredictPowerSpectrumDigit with its scores and ranking (same trace and
// self.fftFlag). Never throws.
[[nodiscard]] DigitForecast ForecastPowerSpectrumDigit(Spectrum& self, const WAData& data,
                                                       const std::string& name,
                                                       const std::string& logPath,
                                                       std::uint32_t interval) noexcept;

}  // namespace corvalith
