// ApplyFilter: direct-form convolution with the registered kernel, no padding
// before the first sample, optional decimation.
#include <algorithm>
#include <new>
#include <utility>

#include "dsp/buffer.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/status.h"

std::uint32_t corvalith::detail::ConvolveCausal(const double* taps, const double* x,
                                                std::uint32_t count, std::uint32_t decimation,
                                                double* y) noexcept {
    std::uint32_t produced = 0;
    for (std::uint32_t c = 0; c < count; ++c) {
        const std::uint32_t last = std::min<std::uint32_t>(kKernelTaps - 1, c);
        double acc = 0.0;
        for (std::uint32_t g = 0; g <= last; ++g) acc += x[c - g] * taps[g];
        if (c % decimation == 0) y[produced++] = acc;
    }
    return produced;
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
