// The cycle lengths a forecast may use, in draws, in the order the window's
// interval list shows them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace corvalith {

inline constexpr std::array<std::uint32_t, 7> kIntervals = {30, 24, 20, 18, 15, 12, 10};
inline constexpr std::uint32_t kDefaultInterval = 15;  // the command line's default

[[nodiscard]] constexpr bool IsInterval(std::uint32_t draws) noexcept {
    return std::find(kIntervals.begin(), kIntervals.end(), draws) != kIntervals.end();
}

}  // namespace corvalith
