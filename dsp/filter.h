// FIR filters: the FilterSpec record, the two frequency-sampling designers
// (128 taps, Blackman window, registered in the kernel registry) and
// ApplyFilter, which convolves a series with a registered kernel.
#pragma once

#include <cstdint>

#include "dsp/wa_data.h"

// One filter. It owns its registry slot: the destructor releases it (when the
// registry is still open). Not copyable.
struct FilterSpec {
    FilterSpec() = default;
    ~FilterSpec();
    FilterSpec(const FilterSpec&) = delete;
    FilterSpec& operator=(const FilterSpec&) = delete;

    std::int32_t slot = -1;        // registry slot of the kernel, -1 = none
    std::uint32_t decimation = 1;  // keep every decimation-th output sample
    std::int32_t type = -1;        // 0 low-pass, 1 band-pass, -1 none
    std::int32_t sampleRate = 0;   // design sampling rate, Hz
    std::int32_t cutoff = 0;       // low-pass cut-off, Hz
    std::int32_t bandLow = 0;      // band-pass lower edge, Hz
    std::int32_t bandHigh = 0;     // band-pass upper edge, Hz
};

// Design at 22050 Hz on 128 bins of 172.265625 Hz. DesignLPF passes bin 0
// only (cut-off 1 Hz); DesignBPF passes every bin but 0 and 64 (1 .. 11024 Hz).
// A kernel the FilterSpec already holds is released first. Return 0; -201 when the
// registry is not open (spec unchanged); -2 out of memory; an error of
// ComputeFFT or RegisterKernel passed through.
[[nodiscard]] int DesignLPF(FilterSpec& spec) noexcept;
[[nodiscard]] int DesignBPF(FilterSpec& spec) noexcept;

// Convolves `data` in place with the FilterSpec's kernel (samples before the start
// count as absent) and keeps every decimation-th output. Returns 0; -201
// registry not open; -200 count or rate 0; -202 no kernel or decimation 0;
// -2 a work array unavailable; -1 samples null or the result array
// unavailable (samples is then left null). An error before the result array
// is made leaves `data` untouched.
[[nodiscard]] int ApplyFilter(const FilterSpec& spec, WAData& data) noexcept;

namespace corvalith::detail {

// The Blackman window over 128 taps (denominator 127), applied in place.
void ApplyBlackmanWindow(double* taps) noexcept;

// The 128 taps DesignLPF / DesignBPF register, computed without the registry
// (so any thread may call them) into `taps`. Return 0, or -2 when a work
// array is unavailable.
[[nodiscard]] int LowPassTaps(double* taps) noexcept;
[[nodiscard]] int BandPassTaps(double* taps) noexcept;

// ApplyFilter's convolution: y[c] = sum of x[c - g] * taps[g] over
// g = 0 .. min(127, c), in increasing g, for c = 0 .. count-1, keeping every
// decimation-th output (decimation >= 1). `y` holds room for all of them.
// Returns the number of outputs.
std::uint32_t ConvolveCausal(const double* taps, const double* x, std::uint32_t count,
                             std::uint32_t decimation, double* y) noexcept;

}  // namespace corvalith::detail
