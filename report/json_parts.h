// Pieces that every JSON report shares: the history and the setting objects.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "history/history_summary.h"

namespace corvalith {

// Objects keep their members in the order they are written.
using Json = nlohmann::ordered_json;

// The version of the JSON contract, the first member ("format") of every
// object the program prints or exports; it changes whenever a member's name,
// meaning or nesting changes.
inline constexpr int kJsonFormat = 1;

// {"draws", "first_draw", "last_draw"}; the draw numbers are null without draws.
[[nodiscard]] Json HistoryJson(const HistorySummary& summary);

// {"filter", "interval", "fft"} with the command line's names.
[[nodiscard]] Json SettingJson(FilterKind filter, std::uint32_t interval, FftPlacement fft);

// A number, or null.
[[nodiscard]] Json OptionalJson(const std::optional<std::int32_t>& value);

// One object on one line, UTF-8, ending in a line break.
[[nodiscard]] std::string Dump(const Json& object);

}  // namespace corvalith
