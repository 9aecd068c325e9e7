// The results the analysis window shows, each computed off the window's
// thread from the history file, with the JSON the command line prints for
// the same inputs (report/), so the window and corvix-cli never disagree.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "commands/predict_core.h"
#include "evaluate/backtest_record.h"
#include "evaluate/money_record.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"
#include "report/history_summary.h"
#include "ui/analysis/analysis_inputs.h"

namespace corvalith {

// 詳細 and 買い目: the forecast with each digit's spectrum (predict --format json).
struct DetailResult {
    HistorySummary history;
    PredictDetail detail;
    std::string json;
};

// 検証: the walk-forward record of the setting (backtest; its JSON depends on K).
struct VerifyResult {
    HistorySummary history;
    evaluate::BacktestRecord record;
    // The money record of each bet type (evaluate::kAllBetTypes order).
    std::array<evaluate::MoneyRecord, 3> money;
};

// 全設定: every setting for one K (sweep --top K --format json).
struct SweepTabResult {
    HistorySummary history;
    int top = 1;
    evaluate::SweepResult sweep;
    std::string json;
};

// 乱数性 (randomness --format json).
struct RandomnessTabResult {
    HistorySummary history;
    evaluate::RandomnessResult result;
    std::string json;
};

using AnalysisResult =
    std::variant<DetailResult, VerifyResult, SweepTabResult, RandomnessTabResult>;

// A run's end: a result, or the message that explains why there is none
// (a failure box's text for path and load failures, with `status`), or
// neither when it was cancelled.
struct AnalysisOutcome {
    std::shared_ptr<const AnalysisResult> result;
    PredictStatus status = PredictStatus::Ok;  // not Ok: the chosen-history check failed
    std::u16string message;                    // why there is no result (empty when cancelled)
};

// Computes `tab` for `inputs`. Reads the history itself; checks `control`'s
// cancel flag between steps and reports progress through it. Never throws.
[[nodiscard]] AnalysisOutcome ComputeAnalysis(AnalysisTab tab, const AnalysisInputs& inputs,
                                              const evaluate::RunControl& control) noexcept;

// The JSON of the verify tab for K = `top` (backtest --top K --format json).
[[nodiscard]] std::string VerifyJson(const VerifyResult& result, int top);

}  // namespace corvalith
