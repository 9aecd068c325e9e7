// The parts of a numeric fuzz input that the pipeline and predictor targets
// share: a series of arbitrary or digit-like values and the selectors for the
// placement flag and the filter kind. Each selector mostly picks a defined
// value and sometimes any 32-bit value, so that both the working paths and
// the rejections get their share of the inputs.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/wa_data.h"
#include "fuzz/fuzz_input.h"

namespace corvalith::fuzz {

// Longest series a fuzz input makes; it keeps one input's work in the
// milliseconds (a filtered run costs 128 multiply-adds per sample).
inline constexpr std::uint32_t kMaxSeries = 4096;

// Layout: u16 count (taken modulo kMaxSeries + 1), u8 encoding, u8 record
// kind, then the values (missing bytes read as zeros):
//   encoding % 4 = 0: one byte a value, byte % 12 - 1 (digits and -1, 10, 11 beside them)
//                  1: one byte a value, 0 .. 255 (like a count series)
//                  2: eight bytes a value, any double (NaN and infinities too)
//                  3: a tag byte a value: below 0xC0 a digit as in 0, else any double
//   record kind 0xF0: rate 0; 0xF1: samples null; 0xF2 and above: that rate;
//               anything else: rate 1.
// The record owns its array (array-new), as the analysis layer expects.
class FuzzSeries {
  public:
    explicit FuzzSeries(FuzzInput& input);

    WAData& record() noexcept { return record_.get(); }
    const WAData& record() const noexcept { return record_.get(); }

    // Whether the record is still the one this object built, value for value
    // (bitwise, so that NaNs compare too).
    [[nodiscard]] bool Unchanged() const noexcept;

  private:
    ScopedWAData record_;
    const double* samples_ = nullptr;
    std::uint32_t count_ = 0;
    std::uint32_t rate_ = 0;
    std::vector<double> values_;
};

// FFT placement flag: mostly -1 .. 2, else any value (from 4 more bytes).
[[nodiscard]] std::int32_t PlacementFlag(FuzzInput& input) noexcept;

// Filter kind: mostly 0 .. 2, else any value (from 4 more bytes).
[[nodiscard]] std::int32_t FilterKind(FuzzInput& input) noexcept;

}  // namespace corvalith::fuzz
