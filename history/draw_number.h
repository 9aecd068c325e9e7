// Draw numbers outside the reader: the scan of a history for its highest
// draw number (to propose the next one) and the lenient text-to-integer rule
// that the draw-number and interval fields use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvalith {

// Leading-integer conversion of a text field: skips leading white space,
// takes an optional sign and the ASCII digits that follow, and stops at the
// first other character. No digits gives 0; values beyond the 32-bit range
// saturate at INT32_MAX / INT32_MIN.
[[nodiscard]] std::int32_t LeadingInt(std::u16string_view text) noexcept;

// The number of the first match of 第\s*(\d+)\s*回 in `line` (saturating at
// INT32_MAX), or -1 when it has none: the rule the scan below applies to each line.
[[nodiscard]] std::int32_t FirstDrawNumberIn(std::u16string_view line) noexcept;

// Scans the history at `path` for the highest draw number: skips the header,
// then takes from every line the first match of 第\s*(\d+)\s*回 (the number
// saturates at INT32_MAX) and keeps the largest. Lines without a match are
// passed over. Returns 0 when no line has one, when the file cannot be read or
// is not a regular file; a decoding failure ends the scan where it occurs.
// Never throws.
[[nodiscard]] std::int32_t ScanHighestDrawNumber(const std::string& path) noexcept;

// The draw number to propose after a history whose highest number is
// `highest`: highest + 1 (computed in 64 bits, so INT32_MAX gives 2147483648),
// or nothing when `highest` is not above 0.
[[nodiscard]] std::optional<std::int64_t> NextDrawNumber(std::int32_t highest) noexcept;

}  // namespace corvalith
