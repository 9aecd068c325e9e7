// Draw numbers, dates and results as people type or paste them: ASCII or
// full-width, 第7055回 or 7055, 2026/8/24, 2026-08-24 or 2026年8月24日.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history/draw_date.h"
#include "history/draw_payouts.h"
#include "history/draw_writer.h"

namespace corvalith {

// Full-width ASCII forms (U+FF01 … U+FF5E) as ASCII and the ideographic space
// as a blank; everything else as it is.
[[nodiscard]] std::u16string NarrowedText(std::u16string_view text);

// Exactly four digits, ASCII or full-width; nothing otherwise.
[[nodiscard]] std::optional<ResultDigits> ResultOf(std::u16string_view text);

// A calendar date as y/m/d, y-m-d, y.m.d or y年m月d日 (a year from 1000 to 9999), with a
// weekday in brackets after it allowed (2026/8/24(月)); nothing otherwise.
[[nodiscard]] std::optional<CalendarDate> InputDateOf(std::u16string_view text);

// A draw number above 0 as N, 第N回 or N回; nothing otherwise.
[[nodiscard]] std::optional<std::int32_t> InputDrawOf(std::u16string_view text);

// Four payouts `S,B,SS,SB` in yen, ASCII or full-width, each empty or a whole
// number 0 … 99,999,999 (`279700,,,` for a quad); nothing otherwise.
[[nodiscard]] std::optional<DrawPayouts> PayoutsOf(std::u16string_view text);

// 2026/8/24, the form the messages show a date in.
[[nodiscard]] std::u16string DateShown(const CalendarDate& date);

}  // namespace corvalith
