// Each computation: the checked history, then the forecast or the
// evaluation; a cancel flag seen set, a failed check and any exception
// each become their own end.
#include "commands/analysis_results.h"

#include <atomic>
#include <new>

#include "commands/checked_history.h"
#include "commands/messages.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

AnalysisOutcome Ended(AnalysisEnd end, std::u16string message = {}) {
    AnalysisOutcome outcome;
    outcome.end = end;
    outcome.message = std::move(message);
    return outcome;
}

AnalysisOutcome StatusFailure(PredictStatus status) {
    AnalysisOutcome outcome =
        Ended(AnalysisEnd::StatusFailed, std::u16string(FailureMessage(status)));
    outcome.status = status;
    return outcome;
}

AnalysisOutcome Done(AnalysisResult result) {
    AnalysisOutcome outcome;
    outcome.end = AnalysisEnd::Done;
    outcome.result = std::make_shared<const AnalysisResult>(std::move(result));
    return outcome;
}

AnalysisOutcome Detail(const AnalysisInputs& inputs, const HistorySummary& history,
                       const std::atomic<bool>& cancel) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(inputs.path);
    request.drawNumber = inputs.drawNumber;
    request.proposeDrawNumber = inputs.proposeDrawNumber;
    request.interval = inputs.interval;
    request.filterKind = IFType(inputs.filter);
    request.fftFlag = FftFlag(inputs.fft);
    request.logPath = inputs.trace;
    std::optional<PredictDetail> detail = RunPredictDetail(request, cancel);
    if (!detail) return {};
    if (detail->status != PredictStatus::Ok) return StatusFailure(detail->status);
    return Done(DetailResult{history, SettingOf(inputs), std::move(*detail)});
}

AnalysisOutcome Run(AnalysisTab tab, const AnalysisInputs& inputs,
                    const evaluate::RunControl& control) {
    static const std::atomic<bool> kNever{false};
    const std::atomic<bool>& cancel = control.cancel ? *control.cancel : kNever;
    if (cancel.load()) return {};
    CheckedHistory checked =
        LoadCheckedHistory(inputs.path, tab != AnalysisTab::Detail && tab != AnalysisTab::Tickets);
    if (checked.status != PredictStatus::Ok) return StatusFailure(checked.status);
    if (!checked.notEvaluable.empty())
        return Ended(AnalysisEnd::NotEvaluable, std::move(checked.notEvaluable));
    if (cancel.load()) return {};
    const DrawTable& table = checked.table;
    const HistorySummary history = SummaryOf(table);
    if (tab == AnalysisTab::Detail || tab == AnalysisTab::Tickets) {
        checked.table = {};  // the forecast reads the file again, into its own series
        return Detail(inputs, history, cancel);
    }
    evaluate::EvaluationOptions options;
    options.from = inputs.from;
    switch (tab) {
        case AnalysisTab::Detail:
        case AnalysisTab::Tickets:
            break;
        case AnalysisTab::Verify: {
            auto record = evaluate::BacktestWithRecord(table, SettingOf(inputs), options, control);
            if (!record) return {};
            VerifyResult result{history, std::move(*record), {}};
            for (std::size_t b = 0; inputs.money && b < result.money.size(); ++b) {
                result.money[b] = RecordMoney(table, result.record, evaluate::kAllBetTypes[b]);
            }
            return Done(std::move(result));
        }
        case AnalysisTab::Sweep: {
            auto sweep = evaluate::Sweep(table, options, inputs.top, inputs.jobs, control);
            if (!sweep) return {};
            return Done(SweepTabResult{history, inputs.top, std::move(*sweep)});
        }
        case AnalysisTab::Randomness: {
            auto result = evaluate::TestRandomness(table, &cancel);
            if (!result) return {};
            return Done(RandomnessTabResult{history, *result});
        }
    }
    return Ended(AnalysisEnd::Failed);
}

}  // namespace

evaluate::Setting SettingOf(const AnalysisInputs& inputs) noexcept {
    return {inputs.filter, inputs.interval, EffectivePlacement(inputs.filter, inputs.fft)};
}

std::u16string_view WhyNoResult(const AnalysisOutcome& outcome) noexcept {
    if (!outcome.message.empty()) return outcome.message;
    switch (outcome.end) {
        case AnalysisEnd::OutOfMemory:
            return kMsgOutOfMemory;
        case AnalysisEnd::Failed:
            return kMsgEvaluationFailed;
        case AnalysisEnd::StatusFailed:
            return FailureMessage(outcome.status);
        case AnalysisEnd::Done:
        case AnalysisEnd::Cancelled:
        case AnalysisEnd::NotEvaluable:
            break;
    }
    return {};
}

AnalysisOutcome ComputeAnalysis(AnalysisTab tab, const AnalysisInputs& inputs,
                                const evaluate::RunControl& control) noexcept {
    // The failure's text comes from WhyNoResult, so nothing is allocated here.
    AnalysisOutcome failed;
    try {
        return Run(tab, inputs, control);
    } catch (const std::bad_alloc&) {
        failed.end = AnalysisEnd::OutOfMemory;
    } catch (...) {
        failed.end = AnalysisEnd::Failed;
    }
    return failed;
}

}  // namespace corvalith
