// The four digit positions as the reports name them: a plain name for JSON
// and the Japanese label the window's message uses, thousands first.
#pragma once

#include <array>
#include <string_view>

namespace corvalith {

inline constexpr std::array<std::string_view, 4> kPositionNames = {"thousands", "hundreds", "tens",
                                                                   "ones"};
inline constexpr std::array<std::string_view, 4> kPositionLabels = {"千の位", "百の位", "十の位",
                                                                    "一の位"};

}  // namespace corvalith
