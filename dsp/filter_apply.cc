// ApplyFilter: direct-form convolution with the registered kernel, no padding
// before the first sample, optional decimation.
#include <algorithm>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/buffer.h"
#include "dsp/filter.h"
#include "dsp/filter_registry.h"
#include "dsp/status.h"

std::uint32_t corvalith::detail::ConvolveCausal(const double* taps, const double* x,
                                                std::uint32_t count, std::uint32_t decimation,
                                                double* y) noexcept {
    constexpr std::uint32_t kLast = kKernelTaps - 1;
    std::uint32_t produced = 0;
    std::uint32_t c = 0;
    auto one = [&](std::uint32_t at) {
        const std::uint32_t last = std::min<std::uint32_t>(kLast, at);
        double acc = 0.0;
        for (std::uint32_t g = 0; g <= last; ++g) acc += x[at - g] * taps[g];
        return acc;
    };
#if defined(__SSE2__)
    if (decimation == 1) {
        // Two outputs side by side once both have every tap: each lane adds
        // its own products in increasing g, as the loop below does.
        for (; c < std::min(count, kLast); ++c) y[produced++] = one(c);
        for (; c + 2 <= count; c += 2) {
            __m128d acc = _mm_setzero_pd();
            for (std::uint32_t g = 0; g <= kLast; ++g) {
                acc = _mm_add_pd(acc, _mm_mul_pd(_mm_loadu_pd(x + (c - g)), _mm_set1_pd(taps[g])));
            }
            _mm_storeu_pd(y + produced, acc);
            produced += 2;
        }
    }
#endif
    for (; c < count; ++c) {
        const double acc = one(c);
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
