// What an analysis is about: the history and the setting the dialog holds
// when a command of the 分析 menu runs, and the five tabs it can open.
#pragma once

#include <cstdint>
#include <string>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "dsp/intervals.h"

namespace corvalith {

enum class AnalysisTab { Detail = 0, Verify = 1, Sweep = 2, Randomness = 3, Tickets = 4 };
inline constexpr int kAnalysisTabCount = 5;

struct AnalysisInputs {
    std::string path;  // the history, in file-system bytes
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = kDefaultInterval;
    FftPlacement fft = FftPlacement::Head;  // the placement that runs (head for NONE)
    std::int32_t drawNumber = 0;            // the draw the forecast is for (its heading)
    int top = 1;                            // K of 検証 and 全設定, 1..5
};

}  // namespace corvalith
