// ComputeFFT: the one discrete Fourier transform of the system, an in-place
// radix-2 decimation-in-time transform of a real frame.
#pragma once

#include <cstdint>

// Transforms the `n` real values of `in` (read only; may point into the
// middle of a longer series) into the caller-owned arrays `re` and `im`, `n`
// doubles each.
//   inverse == 0:  X[k] = sum_m x[m] e^(-2 pi i k m / n), unscaled.
//   inverse != 0:  the twiddle factors are conjugated; the result is divided
//                  by n only when inverse == 1.
// `n` must be a power of two (1, 2, 4, ...). Returns 0 on success; -1 when n
// is 0 or not a power of two, -2 when a work table cannot be allocated (re and
// im are then untouched).
[[nodiscard]] int ComputeFFT(const double* in, double* re, double* im, std::uint32_t n,
                             int inverse) noexcept;

namespace corvalith::detail {

// The quarter-wave-extended sine table of size n + n/4: entry i is
// sin(2 pi i / n) as the recurrence builds it. `table` holds n + n/4 doubles.
void MakeSinTable(double* table, std::uint32_t n) noexcept;

// Bit-reversed indices for log2(n) bits; `table` holds n entries.
void MakeBitReverseTable(std::uint32_t* table, std::uint32_t n) noexcept;

// ComputeFFT's transform on tables made by the two functions above for this
// `n` (a power of two); ComputeFFT is this call on freshly made tables.
void TransformWithTables(const double* in, double* re, double* im, std::uint32_t n, int inverse,
                         const double* sinTable, const std::uint32_t* bitReverse) noexcept;

}  // namespace corvalith::detail
