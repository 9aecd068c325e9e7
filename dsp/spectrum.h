// Spectrum: the result of one run of the single-series pipeline, with the
// normalised power and amplitude spectra of a transform.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dsp/wa_data.h"

// A new record is all zero. The record owns its four arrays (array-new) and
// releases them when it is destroyed or refilled; it cannot be copied.
// Filled: count = n >= 1, interval != 0, four arrays of n doubles.
class Spectrum {
  public:
    Spectrum() = default;
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    std::uint32_t count = 0;              // number of bins n (the transform size); 0 = empty
    std::uint32_t interval = 0;           // the caller's interval, stored unchanged
    std::unique_ptr<double[]> re;         // real parts handed to SetSpectrum
    std::unique_ptr<double[]> im;         // imaginary parts handed to SetSpectrum
    std::unique_ptr<double[]> power;      // re^2 + im^2, normalised
    std::unique_ptr<double[]> amplitude;  // sqrt(re^2 + im^2), normalised
    std::int32_t fftFlag = 0;             // FFT placement of the spectrum predictor

    // Fills the record from a transform (`re`, `im`: n values each, read only).
    // Power and amplitude are each divided by their sum over the bins
    // 1 <= i < n/2 - 1 when that sum is at least 1e-6. Returns 0; -1 when an
    // array is null, n is 0 or interval is 0 (record untouched); -2 when an
    // array cannot be allocated (record left empty, count 0).
    [[nodiscard]] int SetSpectrum(const double* re, const double* im, std::uint32_t n,
                                  std::uint32_t interval) noexcept;

    // Sizes `out` to `count` zeros, then copies the power spectrum into it.
    // False (and nothing copied) when count or interval is 0. May throw
    // std::bad_alloc.
    [[nodiscard]] bool GetPowerSpectrum(std::vector<double>& out) const;

    // Releases the four arrays and sets count and interval to 0 (fftFlag kept).
    void Release() noexcept;

    // The single-series pipeline with filtering (iFType 0 LPF, 1 BPF, other:
    // none). May replace `data`'s samples with the filtered series; the caller
    // keeps ownership of whatever array `data` holds afterwards. `nLen` must
    // not exceed data.count. Returns 0 when the record holds the new spectrum,
    // else a negative code. Writes its trace to `logPath` (empty: none).
    [[nodiscard]] int ProcessSingleDigit(WAData& data, std::uint32_t nLen, int fftFlag, int iFType,
                                         const std::string& name, const std::string& logPath,
                                         std::uint32_t interval) noexcept;

    // The same pipeline without filtering; `data` is never changed.
    [[nodiscard]] int ProcessSingleDigit(const WAData& data, std::uint32_t nLen, int fftFlag,
                                         const std::string& name, const std::string& logPath,
                                         std::uint32_t interval) noexcept;
};

namespace corvalith::detail {

// Sum of values[i] over 1 <= i < n/2 - 1; empty (0) for n <= 4.
[[nodiscard]] double NormalisationSum(const double* values, std::uint32_t n) noexcept;

// The NormalisationSum of two arrays at once (each added in its own order, so
// each is bit for bit NormalisationSum's; the two chains overlap in time).
void NormalisationSums(const double* first, const double* second, std::uint32_t n, double& firstSum,
                       double& secondSum) noexcept;

// Normalise's step once the sum is known: divides all n values by `sum` when
// it is at least 1e-6.
void DivideBySum(double* values, std::uint32_t n, double sum) noexcept;

// Divides all n values by their NormalisationSum when it is at least 1e-6.
void Normalise(double* values, std::uint32_t n) noexcept;

// The largest of n >= 1 values without NaN.
[[nodiscard]] double Peak(const double* values, std::uint32_t n) noexcept;

// The largest value as DivideBySum(values, n, sum) would leave it: the
// division by a positive sum is monotone in correctly rounded arithmetic, so
// max(v[i] / sum) is exactly max(v[i]) / sum.
[[nodiscard]] double PeakAfterDivision(double peak, double sum) noexcept;

// The largest of the n values (n >= 1, no NaN) as Normalise would leave
// them, without changing them.
[[nodiscard]] double NormalisedPeak(const double* values, std::uint32_t n) noexcept;

}  // namespace corvalith::detail
