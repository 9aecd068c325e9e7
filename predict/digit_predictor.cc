// One implementation serves both predictors and their detailed forms; they
// differ in the first trace line, the pipeline overload and where the
// placement flag comes from.
#include "predict/digit_predictor.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>
#include <vector>

#include "dsp/buffer.h"
#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "dsp/trace.h"
#include "predict/cycle_counts.h"
#include "predict/digit_ranking.h"

namespace corvalith {
namespace {

enum class Variant { Filtered, Unfiltered };

DigitForecast Failure() { return DigitForecast{kResultError, false, {}, {}, {}}; }

// May throw std::bad_alloc; the entry points turn that into "Error".
DigitForecast Forecast(Variant variant, Spectrum& self, const WAData& data, std::int32_t fftFlag,
                       std::int32_t iFType, const std::string& name, const std::string& logPath,
                       std::uint32_t interval) {
    if (!IsValid(data) || interval == 0) return Failure();

    const std::vector<double> working(data.samples, data.samples + data.count);
    TraceLog trace(logPath);
    trace << (variant == Variant::Filtered ? "PredictDigit called for "
                                           : "PredictPowerSpectrumDigit called for ")
          << name;
    trace.EndLine();
    trace << "Data Size: " << data.count;
    trace.EndLine();
    const CycleCounts counts = CountCycles(working.data(), data.count, interval);
    trace << "Number of Cycles: " << static_cast<std::int32_t>(counts.cycles);
    trace.EndLine();
    for (int d = 0; d < kDigits; ++d) {
        trace << "Digit " << d << " counts: ";
        for (const std::int32_t n : counts.rows[d]) trace << n << " ";
        trace.EndLine();
    }
    if (variant == Variant::Unfiltered) self.fftFlag = FftFlag(FftPlacement::Head);

    std::array<Spectrum, kDigits> spectra;
    for (int d = 0; d < kDigits; ++d) {
        trace << "Processing digit " << d;
        trace.EndLine();
        const std::string label = "Digit " + std::to_string(d) + " Count";
        ScopedWAData series;
        const auto& row = counts.rows[d];
        auto samples = NewZeroedArray<double>(counts.cycles);
        if (!samples) throw std::bad_alloc();  // reported as "Error", as any exhausted memory
        std::copy(row.begin(), row.end(), samples.get());
        ReplaceSamples(series.get(), std::move(samples));
        series.get().count = counts.cycles;
        series.get().rate = 1;
        const int rc =
            variant == Variant::Filtered
                ? spectra[d].ProcessSingleDigit(series.get(), counts.cycles, fftFlag, iFType, label,
                                                logPath, interval)
                : spectra[d].ProcessSingleDigit(std::as_const(series.get()), counts.cycles,
                                                self.fftFlag, label, logPath, interval);
        if (rc != 0) {
            trace << "Error in ProcessSingleDigit for digit " << d;
            trace.EndLine();
            return Failure();
        }
    }

    std::array<double, kDigits> scores{};
    std::array<std::vector<double>, kDigits> powers;
    for (int d = 0; d < kDigits; ++d) {
        std::vector<double>& power = powers[d];
        if (!spectra[d].GetPowerSpectrum(power)) {
            trace << "Error in GetPowerSpectrum for digit " << d;
            trace.EndLine();
            return Failure();
        }
        scores[d] = *std::max_element(power.begin(), power.end());
        trace << "Power Spectrum for digit " << d << ": " << scores[d];
        trace.EndLine();
    }
    DigitForecast forecast;
    forecast.scores = scores;
    forecast.ranking = RankDigits(scores);
    forecast.text = FormatRanking(forecast.ranking);
    forecast.ranked = true;
    forecast.spectra = std::move(powers);
    return forecast;
}

}  // namespace

DigitForecast ForecastDigit(Spectrum& self, const WAData& data, std::int32_t fftFlag,
                            std::int32_t iFType, const std::string& name,
                            const std::string& logPath, std::uint32_t interval) noexcept {
    try {
        return Forecast(Variant::Filtered, self, data, fftFlag, iFType, name, logPath, interval);
    } catch (...) {
        return Failure();  // memory exhausted (SSO keeps "Error" allocation-free)
    }
}

DigitForecast ForecastPowerSpectrumDigit(Spectrum& self, const WAData& data,
                                         const std::string& name, const std::string& logPath,
                                         std::uint32_t interval) noexcept {
    try {
        return Forecast(Variant::Unfiltered, self, data, FftFlag(FftPlacement::Head),
                        IFType(FilterKind::None), name, logPath, interval);
    } catch (...) {
        return Failure();
    }
}

}  // namespace corvalith

std::string PredictDigit(Spectrum& self, const WAData& data, std::int32_t fftFlag,
                         std::int32_t iFType, const std::string& name, const std::string& logPath,
                         std::uint32_t interval) noexcept {
    return corvalith::ForecastDigit(self, data, fftFlag, iFType, name, logPath, interval).text;
}

std::string PredictPowerSpectrumDigit(Spectrum& self, const WAData& data, const std::string& name,
                                      const std::string& logPath, std::uint32_t interval) noexcept {
    return corvalith::ForecastPowerSpectrumDigit(self, data, name, logPath, interval).text;
}
