// SetSpectrum, GetPowerSpectrum and the shared normalisation rule.
#include "dsp/spectrum.h"

#include <cmath>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/buffer.h"
#include "dsp/status.h"

namespace corvalith::detail {

namespace {
constexpr double kMinNormalisationSum = 1e-6;
}

double NormalisationSum(const double* values, std::uint32_t n) noexcept {
    double sum = 0.0;
    // i + 1 < n/2 is i < n/2 - 1 without the unsigned wrap-around at n < 2.
    for (std::uint32_t i = 1; i + 1 < n / 2; ++i) sum += values[i];
    return sum;
}

void NormalisationSums(const double* first, const double* second, std::uint32_t n, double& firstSum,
                       double& secondSum) noexcept {
    double a = 0.0;
    double b = 0.0;
    for (std::uint32_t i = 1; i + 1 < n / 2; ++i) {
        a += first[i];
        b += second[i];
    }
    firstSum = a;
    secondSum = b;
}

// Each value is divided on its own (two at a time in SSE2's lanes, the same
// IEEE division), so the lanes change no result.
void DivideBySum(double* values, std::uint32_t n, double sum) noexcept {
    if (!(sum >= kMinNormalisationSum)) return;
    std::uint32_t i = 0;
#if defined(__SSE2__)
    const __m128d divisor = _mm_set1_pd(sum);
    for (; i + 2 <= n; i += 2) {
        _mm_storeu_pd(values + i, _mm_div_pd(_mm_loadu_pd(values + i), divisor));
    }
#endif
    for (; i < n; ++i) values[i] = values[i] / sum;
}

void Normalise(double* values, std::uint32_t n) noexcept {
    DivideBySum(values, n, NormalisationSum(values, n));
}

double Peak(const double* values, std::uint32_t n) noexcept {
    // Without NaNs the order of the comparisons does not matter, so two
    // lanes search side by side.
    double peak = values[0];
    std::uint32_t i = 1;
#if defined(__SSE2__)
    if (n >= 3) {
        __m128d lanes = _mm_loadu_pd(values + 1);
        for (i = 3; i + 2 <= n; i += 2) lanes = _mm_max_pd(lanes, _mm_loadu_pd(values + i));
        const double first = _mm_cvtsd_f64(lanes);
        const double second = _mm_cvtsd_f64(_mm_unpackhi_pd(lanes, lanes));
        if (peak < first) peak = first;
        if (peak < second) peak = second;
    }
#endif
    for (; i < n; ++i) {
        if (peak < values[i]) peak = values[i];
    }
    return peak;
}

double PeakAfterDivision(double peak, double sum) noexcept {
    return sum >= kMinNormalisationSum ? peak / sum : peak;
}

double NormalisedPeak(const double* values, std::uint32_t n) noexcept {
    return PeakAfterDivision(Peak(values, n), NormalisationSum(values, n));
}

}  // namespace corvalith::detail

int Spectrum::SetSpectrum(const double* reIn, const double* imIn, std::uint32_t n,
                          std::uint32_t intervalIn) noexcept {
    using namespace corvalith;
    if (reIn == nullptr || imIn == nullptr || n == 0 || intervalIn == 0) return kBadArgument;
    if (count != 0) Release();
    re = NewZeroedArray<double>(n);
    im = NewZeroedArray<double>(n);
    power = NewZeroedArray<double>(n);
    amplitude = NewZeroedArray<double>(n);
    if (!re || !im || !power || !amplitude) {
        Release();
        return kOutOfMemory;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        re[i] = reIn[i];
        im[i] = imIn[i];
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        power[i] = re[i] * re[i] + im[i] * im[i];
        amplitude[i] = std::sqrt(power[i]);
    }
    detail::Normalise(power.get(), n);
    detail::Normalise(amplitude.get(), n);
    interval = intervalIn;
    count = n;
    return kOk;
}

bool Spectrum::GetPowerSpectrum(std::vector<double>& out) const {
    out.assign(count, 0.0);
    if (count == 0 || interval == 0) return false;
    for (std::uint32_t i = 0; i < count; ++i) out[i] = power[i];
    return true;
}

void Spectrum::Release() noexcept {
    re.reset();
    im.reset();
    power.reset();
    amplitude.reset();
    count = 0;
    interval = 0;
}
