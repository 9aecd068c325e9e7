// The computations behind the analysis window and corvix-cli's predict
// --format json, backtest, sweep and randomness: one read of the history,
// its checks and the evaluation, each run off the window's thread by the
// window and on the main thread by the command line, so the two never
// disagree. The JSON and the text reports of the results are in report/.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "commands/analysis_inputs.h"
#include "commands/predict_core.h"
#include "evaluate/backtest_record.h"
#include "evaluate/money_record.h"
#include "evaluate/randomness.h"
#include "evaluate/sweep.h"
#include "evaluate/ticket_estimates.h"
#include "history/history_summary.h"

namespace corvalith {

// 詳細: the forecast with each digit's spectrum (predict --format json).
struct DetailResult {
    HistorySummary history;
    evaluate::Setting setting;  // what ran (EffectivePlacement)
    PredictDetail detail;
    // 買い目 with the history's payouts: what a listed number would pay.
    std::optional<evaluate::TicketEstimates> estimates;
};

// 検証: the walk-forward record of the setting (backtest; its reports depend on K).
struct VerifyResult {
    HistorySummary history;
    evaluate::BacktestRecord record;
    // With inputs.money: the money record of each bet type (evaluate::kAllBetTypes order).
    std::array<evaluate::MoneyRecord, evaluate::kBetTypeCount> money;
};

// 全設定: every setting for one K (sweep --top K).
struct SweepTabResult {
    HistorySummary history;
    int top = 1;
    evaluate::SweepResult sweep;
};

// 乱数性 (randomness).
struct RandomnessTabResult {
    HistorySummary history;
    evaluate::RandomnessResult result;
};

using AnalysisResult =
    std::variant<DetailResult, VerifyResult, SweepTabResult, RandomnessTabResult>;

// How a run ended.
enum class AnalysisEnd {
    Done,          // `result` is there
    Cancelled,     // the cancel flag was seen set
    StatusFailed,  // a chosen-history check, the load or the forecast failed: `status`
    NotEvaluable,  // the history has no draws or its draw numbers do not rise
    OutOfMemory,   // memory ran out during the run
    Failed,        // any other failure of the run
};

struct AnalysisOutcome {
    AnalysisEnd end = AnalysisEnd::Cancelled;
    std::shared_ptr<const AnalysisResult> result;  // when Done
    PredictStatus status = PredictStatus::Ok;      // when StatusFailed
    std::u16string message;                        // why there is no result (may be empty)
};

// The text that says why `outcome` has no result: its message, or the fixed
// text of its end (empty for Done and Cancelled).
[[nodiscard]] std::u16string_view WhyNoResult(const AnalysisOutcome& outcome) noexcept;

// Computes `tab` for `inputs`. Reads the history itself; checks `control`'s
// cancel flag between steps (the read, each position, each test, each unit
// of an evaluation) and reports progress through it: `progress` as the
// evaluation counts its units, `share` over the whole run from the first
// bytes read. Never throws.
[[nodiscard]] AnalysisOutcome ComputeAnalysis(AnalysisTab tab, const AnalysisInputs& inputs,
                                              const evaluate::RunControl& control) noexcept;

// The setting `inputs` ask for, with the placement that runs.
[[nodiscard]] evaluate::Setting SettingOf(const AnalysisInputs& inputs) noexcept;

}  // namespace corvalith
