// ApplyFilter: direct-form convolution with the registered kernel, no padding
// before the first sample, optional decimation. Output c is the sum
// 0.0 + x[c]*taps[0] + x[c-1]*taps[1] + ... taken in that order; the loops run
// tap by tap over all outputs, which keeps that order for every output while
// the inner loop vectorises across outputs.
#include <algorithm>
#include <new>

#include "dsp/buffer.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/status.h"

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

    // y starts at 0.0; pass g adds x[c-g]*taps[g] to every output c >= g.
    const std::uint32_t passes = std::min<std::uint32_t>(kKernelTaps, count);
    for (std::uint32_t g = 0; g < passes; ++g) {
        const double tap = taps[g];
        const double* __restrict in = x.data();
        double* __restrict out = y.data() + g;
        const std::uint32_t n = count - g;
        for (std::uint32_t i = 0; i < n; ++i) out[i] += in[i] * tap;
    }
    const std::uint32_t produced = (count - 1) / spec.decimation + 1;

    delete[] data.samples;
    data.samples = new (std::nothrow) double[produced];
    if (data.samples == nullptr) return kBadArgument;
    for (std::uint32_t k = 0; k < produced; ++k) {
        data.samples[k] = y[std::size_t{k} * spec.decimation];
    }
    data.count = produced;
    data.rate = data.rate / spec.decimation;
    return kOk;
}
