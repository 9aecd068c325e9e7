// Ranking of the ten digits by score and the predictor's result text.
#pragma once

#include <array>
#include <string>

#include "predict/cycle_counts.h"

namespace corvalith {

// The predictors' texts are narrow code page 932: "パワースペクトル予想: ".
inline constexpr char kResultPrefix[] =
    "\x83\x70\x83\x8F\x81\x5B\x83\x58\x83\x79\x83\x4E\x83\x67\x83\x8B\x97\x5C\x91\x7A\x3A\x20";
inline constexpr char kResultError[] = "Error";

// Digits by descending score; equal scores keep ascending digit order.
[[nodiscard]] std::array<int, kDigits> RankDigits(const std::array<double, kDigits>& scores);

// kResultPrefix followed by the ranked digits separated by ", ".
[[nodiscard]] std::string FormatRanking(const std::array<int, kDigits>& ranking);

}  // namespace corvalith
