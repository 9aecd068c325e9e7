// How long a run of the analysis window still takes, from how long it has
// gone and how much of it is done. No Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvalith {

// The seconds left (rounded up) when `done` of `total` took `elapsedMs`, at
// the pace so far; nothing before the run can tell: under a second gone or
// under 2 % done, or nothing left.
[[nodiscard]] std::optional<std::int64_t> RemainingSeconds(std::int64_t elapsedMs,
                                                           std::int64_t done,
                                                           std::int64_t total) noexcept;

// "残り約 N 秒" up to two minutes, "残り約 N 分" beyond (UTF-8).
[[nodiscard]] std::string RemainingText(std::int64_t seconds);

}  // namespace corvalith
