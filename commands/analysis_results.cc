// Each computation: the checked history, then the forecast or the
// evaluation; a cancel flag seen set, a failed check and any exception
// each become their own end.
#include "commands/analysis_results.h"

#include <atomic>
#include <functional>
#include <new>

#include "commands/checked_history.h"
#include "commands/messages.h"
#include "history/draw_payouts.h"
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

// The share of a run that its load takes on the bar: the forecast is quick
// beside the read, an evaluation slow.
double LoadShareOf(AnalysisTab tab) noexcept {
    switch (tab) {
        case AnalysisTab::Detail:
        case AnalysisTab::Tickets:
            return 0.3;
        case AnalysisTab::Randomness:
            return 0.5;
        case AnalysisTab::Verify:
        case AnalysisTab::Sweep:
            break;
    }
    return 0.02;
}

// The run's share callback made to start at `from`: what a step reports as
// 0 to 1 lands on from .. 1.
std::function<void(double)> After(const evaluate::RunControl& control, double from) {
    if (!control.share) return {};
    return [&control, from](double share) { control.share(from + (1.0 - from) * share); };
}

AnalysisOutcome Detail(const AnalysisInputs& inputs, const HistorySummary& history,
                       std::optional<evaluate::TicketEstimates> estimates,
                       const std::atomic<bool>& cancel, const std::function<void(double)>& share) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(inputs.path);
    request.drawNumber = inputs.drawNumber;
    request.proposeDrawNumber = inputs.proposeDrawNumber;
    request.interval = inputs.interval;
    request.filterKind = IFType(inputs.filter);
    request.fftFlag = FftFlag(inputs.fft);
    request.logPath = inputs.trace;
    std::optional<PredictDetail> detail = RunPredictDetail(request, cancel, share);
    if (!detail) return {};
    if (detail->status != PredictStatus::Ok) return StatusFailure(detail->status);
    return Done(DetailResult{history, SettingOf(inputs), std::move(*detail), std::move(estimates)});
}

AnalysisOutcome Run(AnalysisTab tab, const AnalysisInputs& inputs,
                    const evaluate::RunControl& control) {
    static const std::atomic<bool> kNever{false};
    const std::atomic<bool>& cancel = control.cancel ? *control.cancel : kNever;
    if (cancel.load()) return {};
    const double loadShare = LoadShareOf(tab);
    LoadProgress progress;
    if (control.share || control.cancel) {
        // The load reports the bytes read and stops when the run is cancelled.
        progress = [&control, &cancel, loadShare](std::size_t read, std::size_t size) {
            if (cancel.load()) return false;
            if (control.share && size != 0) {
                control.share(loadShare * static_cast<double>(read) / static_cast<double>(size));
            }
            return true;
        };
    }
    CheckedHistory checked = LoadCheckedHistory(
        inputs.path, tab != AnalysisTab::Detail && tab != AnalysisTab::Tickets, progress);
    if (cancel.load()) return {};  // a load stopped by the cancel is no failure
    if (checked.status != PredictStatus::Ok) return StatusFailure(checked.status);
    if (!checked.notEvaluable.empty())
        return Ended(AnalysisEnd::NotEvaluable, std::move(checked.notEvaluable));
    if (cancel.load()) return {};
    const DrawTable& table = checked.table;
    const HistorySummary history = SummaryOf(table);
    if (tab == AnalysisTab::Detail || tab == AnalysisTab::Tickets) {
        std::optional<evaluate::TicketEstimates> estimates;
        std::vector<DrawPayouts> payouts;
        // A file whose payouts do not read lists its tickets without estimates.
        if (tab == AnalysisTab::Tickets && LoadDrawPayouts(inputs.path, payouts) == 0) {
            estimates = evaluate::TicketEstimatesOf(table, payouts);
        }
        checked.table = {};  // the forecast reads the file again, into its own series
        return Detail(inputs, history, std::move(estimates), cancel, After(control, loadShare));
    }
    evaluate::EvaluationOptions options;
    options.from = inputs.from;
    evaluate::RunControl evaluation = control;
    evaluation.share = After(control, loadShare);
    switch (tab) {
        case AnalysisTab::Detail:
        case AnalysisTab::Tickets:
            break;
        case AnalysisTab::Verify: {
            auto record =
                evaluate::BacktestWithRecord(table, SettingOf(inputs), options, evaluation);
            if (!record) return {};
            VerifyResult result{history, std::move(*record), {}};
            // The money record at the history's real payouts when every
            // evaluated draw has them; a file whose payouts do not read is
            // counted at the theoretical amounts, as one without.
            std::vector<DrawPayouts> payouts;
            if (inputs.money && LoadDrawPayouts(inputs.path, payouts) != 0) payouts.clear();
            for (std::size_t b = 0; inputs.money && b < result.money.size(); ++b) {
                result.money[b] = RecordMoney(table, result.record, evaluate::kAllBetTypes[b],
                                              {evaluate::PayoutMode::Auto, payouts});
            }
            return Done(std::move(result));
        }
        case AnalysisTab::Sweep: {
            auto sweep = evaluate::Sweep(table, options, inputs.top, inputs.jobs, evaluation);
            if (!sweep) return {};
            return Done(SweepTabResult{history, inputs.top, std::move(*sweep)});
        }
        case AnalysisTab::Randomness: {
            auto result = evaluate::TestRandomness(table, &cancel, evaluation.share);
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
