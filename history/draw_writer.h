// The history format in the writing direction: the header of a new history,
// the style a file's lines are written in, a new draw line in that style, and
// the change of one draw's result (and date) that leaves the rest of its line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history/draw_date.h"
#include "history/draw_payouts.h"
#include "history/history_image.h"

namespace corvalith {

// The four ASCII digits of a result, thousands first.
using ResultDigits = std::array<char, 4>;

struct LineStyle {
    bool quoted = false;  // every field enclosed in double quotes
    bool padded = false;  // month and day with two digits (2026/08/04)
    bool crlf = false;    // lines end in CR LF
};

// The code page 932 bytes of a new history: the header line and LF.
[[nodiscard]] std::string NewHistoryBytes();

// The style of the file's last draw line: its quoting, the padding of its
// date (when the last date cannot tell, 2026/10/15, the latest one that can),
// the line end it has or, without one, the line end before it. A history
// without draws gives the plain style.
[[nodiscard]] LineStyle StyleOf(const HistoryImage& image);

// `第N回,date,weekday,result,-` in `style`, with its line end, in code page
// 932; the four payout fields after it when `payouts` has any amount.
// `date` must be a calendar date.
[[nodiscard]] std::string FormatDrawLine(const LineStyle& style, std::int32_t number,
                                         const CalendarDate& date, const ResultDigits& result,
                                         const DrawPayouts& payouts = {});

// `line` (code page 932, without its line break) with field 4 set to `result`
// and, when given, field 2 to `date` in `style`'s padding and field 3 to its
// weekday; with `payouts` (when given) as fields 6 to 9. Quotes around a
// field stay, everything else on the line stays byte for byte. Commas and
// double quotes are never part of a two-byte character, so the fields are
// found in the bytes themselves.
[[nodiscard]] std::string ReplaceDrawFields(std::string_view line, const LineStyle& style,
                                            const ResultDigits& result,
                                            const std::optional<CalendarDate>& date,
                                            const std::optional<DrawPayouts>& payouts = {});

// `line` (as for ReplaceDrawFields) with its fields from the sixth on
// replaced by the four payout fields, quoted when the line's first field is;
// the first five fields and a CR at the end stay byte for byte.
[[nodiscard]] std::string WithPayoutFields(std::string_view line, const DrawPayouts& payouts);

// The header line (without its LF) extended by the four payout names when it
// is the five-name header of a new history (quoted or not); nothing when it
// is any other header, which is then kept as it is.
[[nodiscard]] std::optional<std::string> HeaderWithPayouts(std::string_view header);

}  // namespace corvalith
