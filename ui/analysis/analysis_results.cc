// Each tab's computation: the chosen-history checks and the evaluation
// rules as the command line applies them, then the evaluation library.
#include "ui/analysis/analysis_results.h"

#include <new>

#include "commands/chosen_history.h"
#include "commands/messages.h"
#include "report/json_report.h"
#include "report/predict_report.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

AnalysisOutcome Failure(PredictStatus status) {
    AnalysisOutcome outcome;
    outcome.status = status;
    outcome.message = FailureMessage(status);
    return outcome;
}

AnalysisOutcome Message(std::u16string text) {
    AnalysisOutcome outcome;
    outcome.message = std::move(text);
    return outcome;
}

AnalysisOutcome Done(AnalysisResult result) {
    AnalysisOutcome outcome;
    outcome.result = std::make_shared<const AnalysisResult>(std::move(result));
    return outcome;
}

evaluate::Setting SettingOf(const AnalysisInputs& inputs) {
    return {inputs.filter, inputs.interval,
            inputs.filter == FilterKind::None ? FftPlacement::Head : inputs.fft};
}

AnalysisOutcome Detail(const AnalysisInputs& inputs, const HistorySummary& history) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(inputs.path);
    request.drawNumber = inputs.drawNumber;
    request.interval = inputs.interval;
    request.filterKind = IFType(inputs.filter);
    request.fftFlag = FftFlag(inputs.fft);
    DetailResult result;
    result.history = history;
    result.detail = RunPredictDetail(request);
    if (result.detail.status != PredictStatus::Ok) return Failure(result.detail.status);
    PredictReport report;
    report.history = history;
    report.filter = inputs.filter;
    report.interval = inputs.interval;
    report.fft = SettingOf(inputs).fft;
    report.draw = result.detail.drawNumber;
    report.detail = &result.detail;
    result.json = PredictJson(report);
    return Done(std::move(result));
}

AnalysisOutcome Run(AnalysisTab tab, const AnalysisInputs& inputs,
                    const evaluate::RunControl& control) {
    DrawTable table;
    const PredictStatus loaded = LoadChosenDrawTable(inputs.path, table);
    if (loaded != PredictStatus::Ok) return Failure(loaded);
    const HistorySummary history = SummaryOf(table);
    if (tab == AnalysisTab::Detail || tab == AnalysisTab::Tickets) return Detail(inputs, history);
    // The evaluations need draws in ascending order, as on the command line.
    if (table.size() == 0) return Message(std::u16string(kMsgNoDraws));
    if (const auto violation = FindOrderViolation(table)) {
        return Message(
            OrderViolationMessage(violation->line, violation->current, violation->previous));
    }
    switch (tab) {
        case AnalysisTab::Verify: {
            auto record = evaluate::BacktestWithRecord(table, SettingOf(inputs), {}, control);
            if (!record) return {};
            VerifyResult result{history, std::move(*record), {}};
            for (std::size_t b = 0; b < result.money.size(); ++b) {
                result.money[b] = RecordMoney(table, result.record, evaluate::kAllBetTypes[b]);
            }
            return Done(std::move(result));
        }
        case AnalysisTab::Sweep: {
            auto sweep = evaluate::Sweep(table, {}, inputs.top, 0, control);
            if (!sweep) return {};
            std::string json = SweepJson(history, *sweep, inputs.top);
            return Done(SweepTabResult{history, inputs.top, std::move(*sweep), std::move(json)});
        }
        case AnalysisTab::Randomness: {
            evaluate::RandomnessResult result = evaluate::TestRandomness(table);
            std::string json = RandomnessJson(history, result);
            return Done(RandomnessTabResult{history, result, std::move(json)});
        }
        case AnalysisTab::Detail:
        case AnalysisTab::Tickets:
            break;
    }
    return {};
}

}  // namespace

AnalysisOutcome ComputeAnalysis(AnalysisTab tab, const AnalysisInputs& inputs,
                                const evaluate::RunControl& control) noexcept {
    try {
        return Run(tab, inputs, control);
    } catch (...) {  // memory exhausted, or any other failure of the run
        try {
            return Message(std::u16string(kMsgEvaluationFailed));
        } catch (...) {
            return {};
        }
    }
}

std::string VerifyJson(const VerifyResult& result, int top) {
    return BacktestJson(result.history, result.record.result, top);
}

}  // namespace corvalith
