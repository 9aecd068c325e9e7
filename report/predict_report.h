// predict --format json: the forecast of each position with its ranking and
// scores, as one JSON object.
#pragma once

#include <cstdint>
#include <string>

#include "commands/predict_core.h"
#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "history/history_summary.h"

namespace corvalith {

struct PredictReport {
    HistorySummary history;
    FilterKind filter = FilterKind::Lpf;
    std::uint32_t interval = kDefaultInterval;
    FftPlacement fft = FftPlacement::Head;  // the placement that ran (head for none)
    std::int32_t draw = 0;                  // the heading's draw number
    const PredictDetail* detail = nullptr;  // status Ok
};

// {"command": "predict", "history", "setting", "draw", "positions": [{"position",
// "label", "ranking" (or null), "scores" (or null), "text"} x 4]} and a line break.
[[nodiscard]] std::string PredictJson(const PredictReport& report);

}  // namespace corvalith
