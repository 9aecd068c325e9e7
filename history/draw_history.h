// The draw-history reader: a code page 932 CSV of past draws in, four digit
// series (thousands, hundreds, tens, ones) out.
#pragma once

#include <cstdint>
#include <string>

#include "dsp/wa_data.h"

namespace corvalith {

// What the reader accepts at most. A real history has about 7,000 draws of
// about 30 bytes a line (200 KB); the limits lie far above that and keep any
// input within bounded time and memory (about 600 MB at the largest).
struct HistoryLimits {
    std::size_t maxLineBytes;  // one line, line break excluded
    std::size_t maxFileBytes;  // the whole file
    std::size_t maxDraws;      // draw lines
};
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} * 1024;
inline constexpr HistoryLimits kHistoryLimits = {kMaxLineBytes, std::size_t{512} << 20, 10'000'000};

// LoadDrawHistory with other limits, and with exhausted memory told apart:
// -2 when an allocation failed (records untouched), -5 for every other failure.
[[nodiscard]] int LoadDrawHistoryWithin(const HistoryLimits& limits, const std::string& path,
                                        WAData& thousands, WAData& hundreds, WAData& tens,
                                        WAData& ones) noexcept;

// LoadDrawHistoryWithin the reader's limits that also sets `highestDrawNumber`,
// on success only, to what ScanHighestDrawNumber finds in the same file, so
// that a caller needing both reads the file once. Never throws.
[[nodiscard]] int LoadDrawHistoryWithHighest(const std::string& path, WAData& thousands,
                                             WAData& hundreds, WAData& tens, WAData& ones,
                                             std::int32_t& highestDrawNumber) noexcept;

}  // namespace corvalith

// Reads the history at `path` (the file system's own bytes of the name). The
// first line is a header and is skipped; every further line must be a draw
// line `第N回,yyyy/m/d,<any>,<digits>,<any>[,...]`.
//
// Returns 0 when the whole file was read: each record's old array is released
// with array-delete and replaced by a new array of `count` doubles (one value
// per draw line, first line first), `count` = number of draw lines, `rate` = 1.
// The caller owns the new arrays. Returns -5 on any failure (missing, not a
// regular file, not valid code page 932, a malformed line, more than
// kHistoryLimits allows, memory exhausted); the four records are then untouched.
// Never throws.
[[nodiscard]] int LoadDrawHistory(const std::string& path, WAData& thousands, WAData& hundreds,
                                  WAData& tens, WAData& ones) noexcept;
