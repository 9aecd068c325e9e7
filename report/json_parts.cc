// The shared JSON pieces; a text that is not valid UTF-8 is written with
// U+FFFD rather than failing the report.
#include "report/json_parts.h"

#include <string>

namespace corvalith {

Json OptionalJson(const std::optional<std::int32_t>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json HistoryJson(const HistorySummary& summary) {
    return {{"draws", summary.draws},
            {"first_draw", OptionalJson(summary.firstDraw)},
            {"last_draw", OptionalJson(summary.lastDraw)}};
}

Json SettingJson(FilterKind filter, std::uint32_t interval, FftPlacement fft) {
    return {{"filter", std::string(NameOf(filter))},
            {"interval", interval},
            {"fft", std::string(NameOf(fft))}};
}

std::string Dump(const Json& object) {
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace corvalith
