#include "ui/analysis/analysis_tab_view.h"

#include "report/analysis_report.h"
#include "ui/analysis/analysis_tables.h"

namespace corvalith {

std::optional<std::string> AnalysisTabView::Json(const AnalysisResult& result,
                                                 const TabChoices& choices) const {
    return AnalysisJson(result, choices.top);
}

QString AnalysisTabView::PictureWhat(const TabChoices& /*choices*/) const { return {}; }

QString AnalysisTabView::Legend(const TabChoices& /*choices*/) const { return {}; }

QString AnalysisTabView::TableNameSuffix(const TabChoices& choices) const {
    return SettingFileWord(choices.inputs);
}

QString SettingFileWord(const AnalysisInputs& inputs) {
    return QStringLiteral("-%1-%2-%3")
        .arg(FromUtf8(std::string(NameOf(inputs.filter))))
        .arg(inputs.interval)
        .arg(FromUtf8(std::string(NameOf(SettingOf(inputs).fft))));
}

}  // namespace corvalith
