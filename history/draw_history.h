// The draw-history reader: a code page 932 CSV of past draws in, four digit
// series (thousands, hundreds, tens, ones) out.
#pragma once

#include <string>

#include "history/wa_data.h"

namespace corvalith {

// Longest line the reader accepts, in bytes (line break excluded). Real draw
// lines are about 30 bytes; anything longer than this is not a draw history
// and is refused so that no input makes memory grow without bound.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;

}  // namespace corvalith

// Reads the history at `path` (the file system's own bytes of the name). The
// first line is a header and is skipped; every further line must be a draw
// line `第N回,yyyy/m/d,<any>,<digits>,<any>[,...]`.
//
// Returns 0 when the whole file was read: each record's old array is released
// with array-delete and replaced by a new array of `count` doubles (one value
// per draw line, first line first), `count` = number of draw lines, `rate` = 1.
// The caller owns the new arrays. Returns -5 on any failure (missing, not a
// regular file, not valid code page 932, a malformed line, a line longer than
// kMaxLineBytes, memory exhausted); the four records are then untouched.
// Never throws.
[[nodiscard]] int LoadDrawHistory(const std::string& path, WAData& thousands, WAData& hundreds,
                                  WAData& tens, WAData& ones) noexcept;
