// ComputeHeadTailSpectrum: the spectrum of a series' head and tail frames,
// transformed and normalised separately, then averaged.
#pragma once

#include <cstdint>

// `in` holds at least `nLen` samples; `n` is a power of two with n <= nLen.
// Writes n doubles to each of `outPower` and `outAmplitude`: the averages of
// the head frame's (samples 0 .. n-1) and the tail frame's (nLen-n .. nLen-1)
// normalised power and amplitude spectra. Returns 0; -1 when n is 0, not a
// power of two or above nLen; -2 when a work array cannot be allocated.
[[nodiscard]] int ComputeHeadTailSpectrum(const double* in, double* outPower, double* outAmplitude,
                                          std::uint32_t nLen, std::uint32_t n) noexcept;
