// What an analysis is about: the history and the setting a face hands over
// (the dialog when a command of the 分析 menu runs, corvix-cli from its
// options), and the four computations it can ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "dsp/intervals.h"

namespace corvalith {

// The window's tabs; the command line's predict --format json, backtest,
// sweep and randomness.
enum class AnalysisTab { Detail = 0, Verify = 1, Sweep = 2, Randomness = 3, Tickets = 4 };
inline constexpr int kAnalysisTabCount = 5;

struct AnalysisInputs {
    std::string path;  // the history, in file-system bytes
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = kDefaultInterval;
    FftPlacement fft = FftPlacement::Head;  // as chosen (EffectivePlacement says what runs)
    std::int32_t drawNumber = 0;            // the draw the forecast is for (its heading)
    bool proposeDrawNumber = false;         // instead of drawNumber: the file's highest + 1
    int top = 1;                            // K of 検証 and 全設定 (the sweep's statistics)
    std::optional<std::int32_t> from;       // evaluate only the draws numbered this and above
    unsigned jobs = 0;                      // the sweep's threads (0: the hardware's)
    std::string trace;                      // the predictors' trace file of 詳細 (empty: none)
    bool money = false;                     // 検証: also each bet type's money record
};

}  // namespace corvalith
