// The predict JSON: the texts are the message's own, so the object agrees
// with the text output position by position.
#include "report/predict_report.h"

#include "report/json_parts.h"
#include "report/position_names.h"
#include "text/utf8.h"

namespace corvalith {

std::string PredictJson(const PredictReport& report) {
    Json positions = Json::array();
    for (std::size_t p = 0; p < kPositionNames.size(); ++p) {
        const PositionForecast& forecast = report.detail->positions[p];
        positions.push_back({
            {"position", kPositionNames[p]},
            {"label", kPositionLabels[p]},
            {"ranking", forecast.ranked ? Json(forecast.ranking) : Json(nullptr)},
            {"scores", forecast.ranked ? Json(forecast.scores) : Json(nullptr)},
            {"text", Utf16ToUtf8(forecast.text)},
        });
    }
    const Json object = {
        {"format", kJsonFormat},
        {"command", "predict"},
        {"history", HistoryJson(report.history)},
        {"setting", SettingJson(report.filter, report.interval, report.fft)},
        {"draw", report.draw},
        {"positions", positions},
    };
    return Dump(object);
}

}  // namespace corvalith
