// ApplyFilter: direct-form convolution with the registered kernel, no padding
// before the first sample, optional decimation. Output c is the sum
// 0.0 + x[c]*taps[0] + x[c-1]*taps[1] + ... taken in that order, however the
// outputs are grouped, so the result is that of the plain loop.
#include <algorithm>
#include <new>
#include <utility>

#include "dsp/buffer.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/status.h"

namespace {

constexpr std::uint32_t kTaps = corvalith::kKernelTaps;
constexpr std::uint32_t kBlock = 16;

// Output c from its first min(c, kTaps - 1) + 1 taps.
double Output(const double* x, const double* taps, std::uint32_t c) noexcept {
    const std::uint32_t last = std::min<std::uint32_t>(kTaps - 1, c);
    double acc = 0.0;
    for (std::uint32_t g = 0; g <= last; ++g) acc += x[c - g] * taps[g];
    return acc;
}

// Outputs c .. c + kBlock - 1, for c >= kTaps - 1, their sums side by side
// (the compiler keeps them in vector registers).
void FullBlock(const double* x, const double* taps, std::uint32_t c, double* y) noexcept {
    double acc[kBlock] = {};
    for (std::uint32_t g = 0; g < kTaps; ++g) {
        const double tap = taps[g];
        const double* in = x + (c - g);
        for (std::uint32_t j = 0; j < kBlock; ++j) acc[j] += in[j] * tap;
    }
    std::copy(acc, acc + kBlock, y + c);
}

}  // namespace

std::uint32_t corvalith::detail::ConvolveCausal(const double* taps, const double* x,
                                                std::uint32_t count, std::uint32_t decimation,
                                                double* y) noexcept {
    if (decimation != 1) {
        std::uint32_t produced = 0;
        for (std::uint32_t c = 0; c < count; c += decimation) y[produced++] = Output(x, taps, c);
        return produced;
    }
    // The first kTaps - 1 outputs use fewer taps: summed tap by tap across
    // outputs. Every output keeps its own order 0.0 + x[c]*taps[0] + ...
    const std::uint32_t head = std::min<std::uint32_t>(count, kTaps - 1);
    std::fill(y, y + head, 0.0);
    for (std::uint32_t g = 0; g < head; ++g) {
        for (std::uint32_t c = g; c < head; ++c) y[c] += x[c - g] * taps[g];
    }
    std::uint32_t c = head;
    for (; count - c >= kBlock; c += kBlock) FullBlock(x, taps, c, y);
    for (; c < count; ++c) y[c] = Output(x, taps, c);
    return count;
}

int ApplyFilter(const FilterSpec& spec, WAData& data) noexcept {
    using namespace corvalith;
    if (!detail::FilterLibraryIsOpen()) return kRegistryClosed;
    if (data.count == 0 || data.rate == 0) return kEmptySeries;
    const double* taps = detail::KernelTaps(spec.slot);
    if (spec.slot == -1 || taps == nullptr || spec.decimation == 0) return kNoKernel;

    const std::uint32_t count = data.count;
    auto x = Buffer<double>::Zeroed(count);
    auto y = Buffer<double>::Zeroed(count);
    if (!x || !y) return kOutOfMemory;
    if (data.samples == nullptr) return kBadArgument;
    std::copy(data.samples, data.samples + count, x.data());

    const std::uint32_t produced =
        detail::ConvolveCausal(taps, x.data(), count, spec.decimation, y.data());

    // The old array goes first, so that old and new are never held at once.
    ReplaceSamples(data, nullptr);
    auto filtered = NewZeroedArray<double>(produced);
    if (!filtered) return kBadArgument;
    std::copy(y.data(), y.data() + produced, filtered.get());
    ReplaceSamples(data, std::move(filtered));
    data.count = produced;
    data.rate = data.rate / spec.decimation;
    return kOk;
}
