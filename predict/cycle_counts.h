// The count table of a digit series: how often each digit 0-9 occurs in each
// consecutive cycle of `interval` draws.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace corvalith {

inline constexpr int kDigits = 10;

// rows[d][k] = occurrences of digit d among values k*interval ..
// k*interval + interval - 1. A value counts for digit d when it truncates
// toward zero to d; anything else (other numbers, NaN) counts for no digit.
// The last count % interval values take no part. May throw std::bad_alloc.
struct CycleCounts {
    std::uint32_t cycles = 0;  // M = count / interval
    std::array<std::vector<std::int32_t>, kDigits> rows;
};

// `interval` must be nonzero.
[[nodiscard]] CycleCounts CountCycles(const double* values, std::uint32_t count,
                                      std::uint32_t interval);

}  // namespace corvalith
