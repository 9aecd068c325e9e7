// SetSpectrum, GetPowerSpectrum and the shared normalisation rule.
#include "dsp/spectrum.h"

#include <cmath>
#include <new>

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

void Normalise(double* values, std::uint32_t n) noexcept {
    const double sum = NormalisationSum(values, n);
    if (sum >= kMinNormalisationSum) {
        for (std::uint32_t i = 0; i < n; ++i) values[i] = values[i] / sum;
    }
}

double NormalisedPeak(const double* values, std::uint32_t n) noexcept {
    double peak = values[0];
    for (std::uint32_t i = 1; i < n; ++i) {
        if (peak < values[i]) peak = values[i];  // the first maximum, as std::max_element
    }
    const double sum = NormalisationSum(values, n);
    return sum >= kMinNormalisationSum ? peak / sum : peak;
}

}  // namespace corvalith::detail

int Spectrum::SetSpectrum(const double* reIn, const double* imIn, std::uint32_t n,
                          std::uint32_t intervalIn) noexcept {
    using namespace corvalith;
    if (reIn == nullptr || imIn == nullptr || n == 0 || intervalIn == 0) return kBadArgument;
    if (count != 0) Release();
    re.reset(new (std::nothrow) double[n]);
    im.reset(new (std::nothrow) double[n]);
    power.reset(new (std::nothrow) double[n]);
    amplitude.reset(new (std::nothrow) double[n]);
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
