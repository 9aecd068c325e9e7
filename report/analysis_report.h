// The reports of an analysis result: the JSON the window exports and
// corvix-cli prints (predict, backtest, sweep, randomness), and the text
// reports of the three evaluations.
#pragma once

#include <string>

#include "commands/analysis_results.h"

namespace corvalith {

// The command line's JSON of `result`; `top` is the K of a backtest (1..10),
// a sweep's result carries its own.
[[nodiscard]] std::string AnalysisJson(const AnalysisResult& result, int top);

// The text report of a backtest, sweep or randomness result (empty for a
// forecast, whose text is RunPredict's message).
[[nodiscard]] std::string AnalysisText(const AnalysisResult& result, int top);

}  // namespace corvalith
