// Frequency sampling: an ideal 0/1 response on 128 bins, inverse transform,
// rotation by half the length, Blackman window, registration.
#include <array>
#include <cmath>
#include <numbers>

#include "dsp/buffer.h"
#include "dsp/fft.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/status.h"

namespace corvalith {
namespace {

constexpr std::int32_t kDesignRate = 22050;  // Hz
constexpr std::uint32_t kTaps = kKernelTaps;
constexpr double kBinWidth = 22050.0 / 128.0;  // Hz per bin
constexpr double kLowPassCutoff = 1.0;         // Hz
constexpr double kBandLow = 1.0;               // Hz
constexpr double kBandHigh = 11024.0;          // Hz

enum class Kind { LowPass, BandPass };

double IdealResponse(Kind kind, std::uint32_t b) noexcept {
    if (kind == Kind::LowPass) return b * kBinWidth <= kLowPassCutoff ? 1.0 : 0.0;
    const double lo = (b - 0.5) * kBinWidth;
    const double mid = b * kBinWidth;
    const double hi = (b + 0.5) * kBinWidth;
    const bool pass = (lo >= kBandLow && hi <= kBandHigh) || (mid >= kBandLow && hi <= kBandHigh) ||
                      (lo >= kBandLow && mid <= kBandHigh) || (lo < kBandLow && hi > kBandHigh);
    return pass ? 1.0 : 0.0;
}

void ResetSpec(FilterSpec& spec) noexcept {
    ReleaseKernel(spec.slot);
    spec.slot = -1;
    spec.type = -1;
    spec.sampleRate = 0;
    spec.cutoff = 0;
    spec.bandLow = 0;
    spec.bandHigh = 0;
}

// The kernel's taps: ideal response, inverse transform, rotation, window.
int DesignTaps(Kind kind, double* taps) noexcept {
    auto response = Buffer<double>::Zeroed(kTaps);
    auto re = Buffer<double>::Zeroed(kTaps);
    auto im = Buffer<double>::Zeroed(kTaps);
    if (!response || !re || !im) return kOutOfMemory;

    for (std::uint32_t b = 0; b < kTaps / 2; ++b) {
        const double v = IdealResponse(kind, b);
        response[b] = v;
        if (b >= 1) response[kTaps - b] = v;
    }
    response[kTaps / 2] = 0.0;

    const int rc = ComputeFFT(response.data(), re.data(), im.data(), kTaps, 1);
    if (rc != kOk) return rc;
    for (std::uint32_t m = 0; m < kTaps; ++m) taps[m] = re[(m + kTaps / 2) % kTaps];
    detail::ApplyBlackmanWindow(taps);
    return kOk;
}

int Design(FilterSpec& spec, Kind kind) noexcept {
    if (!detail::FilterLibraryIsOpen()) return kRegistryClosed;
    if (spec.slot != -1) ResetSpec(spec);
    auto taps = Buffer<double>::Zeroed(kTaps);
    if (!taps) return kOutOfMemory;
    const int rc = DesignTaps(kind, taps.data());
    if (rc != kOk) return rc;

    const int slot = RegisterKernel(taps.data());
    if (slot < 0) return slot;
    spec.slot = slot;
    spec.sampleRate = kDesignRate;
    if (kind == Kind::LowPass) {
        spec.type = 0;
        spec.cutoff = static_cast<std::int32_t>(kLowPassCutoff);
    } else {
        spec.type = 1;
        spec.bandLow = static_cast<std::int32_t>(kBandLow);
        spec.bandHigh = static_cast<std::int32_t>(kBandHigh);
    }
    return kOk;
}

}  // namespace

void detail::ApplyBlackmanWindow(double* taps) noexcept {
    // The window is the same for every design: computed once.
    static const std::array<double, kTaps> window = [] {
        const double pi = std::numbers::pi;
        std::array<double, kTaps> w{};
        for (std::uint32_t i = 0; i < kTaps; ++i) {
            w[i] =
                0.42 - 0.5 * std::cos(2.0 * pi * i / 127.0) + 0.08 * std::cos(4.0 * pi * i / 127.0);
        }
        return w;
    }();
    for (std::uint32_t i = 0; i < kTaps; ++i) taps[i] = window[i] * taps[i];
}

}  // namespace corvalith

FilterSpec::~FilterSpec() { ReleaseKernel(slot); }

int DesignLPF(FilterSpec& spec) noexcept {
    return corvalith::Design(spec, corvalith::Kind::LowPass);
}

int DesignBPF(FilterSpec& spec) noexcept {
    return corvalith::Design(spec, corvalith::Kind::BandPass);
}

int corvalith::detail::LowPassTaps(double* taps) noexcept {
    return DesignTaps(Kind::LowPass, taps);
}

int corvalith::detail::BandPassTaps(double* taps) noexcept {
    return DesignTaps(Kind::BandPass, taps);
}
