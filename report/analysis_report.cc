// Each result to its report; the forecast's JSON names the setting that ran.
#include "report/analysis_report.h"

#include "report/json_report.h"
#include "report/predict_report.h"
#include "report/text_report.h"

namespace corvalith {

std::string AnalysisJson(const AnalysisResult& result, int top) {
    if (const auto* r = std::get_if<DetailResult>(&result)) {
        PredictReport report;
        report.history = r->history;
        report.filter = r->setting.filter;
        report.interval = r->setting.interval;
        report.fft = r->setting.fft;
        report.draw = r->detail.drawNumber;
        report.detail = &r->detail;
        return PredictJson(report);
    }
    if (const auto* r = std::get_if<VerifyResult>(&result))
        return BacktestJson(r->history, r->record.result, top);
    if (const auto* r = std::get_if<SweepTabResult>(&result))
        return SweepJson(r->history, r->sweep, r->top);
    const auto& r = std::get<RandomnessTabResult>(result);
    return RandomnessJson(r.history, r.result);
}

std::string AnalysisText(const AnalysisResult& result, int top) {
    if (const auto* r = std::get_if<VerifyResult>(&result))
        return BacktestText(ContextOf(r->history), r->record.result, top);
    if (const auto* r = std::get_if<SweepTabResult>(&result))
        return SweepText(ContextOf(r->history), r->sweep, r->top);
    if (const auto* r = std::get_if<RandomnessTabResult>(&result))
        return RandomnessText(ContextOf(r->history), r->result);
    return {};
}

}  // namespace corvalith
