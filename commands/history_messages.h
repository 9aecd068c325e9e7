// The texts of the history commands, shared by corvix-cli and the window's
// boxes, so that both say the same words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commands/draw_input.h"
#include "history/draw_payouts.h"
#include "history/safe_write.h"

namespace corvalith {

inline constexpr std::u16string_view kMsgHistoryReadOnly =
    u"履歴ファイルは読み取り専用のため書き込めません。";
inline constexpr std::u16string_view kMsgHistoryNotRegular =
    u"履歴は通常のファイルではありません。";
inline constexpr std::u16string_view kMsgHistoryChanged =
    u"書き込みの間に履歴ファイルがほかのプログラムによって変更されたため、何も書き込んでいません。"
    u"もう一度お試しください。";
inline constexpr std::u16string_view kMsgHistoryTooLarge =
    u"履歴が上限（512 MiB、10,000,000 回）を超えるため、何も書き込んでいません。";
inline constexpr std::u16string_view kMsgNoDrawGiven =
    u"履歴に抽せんがないため、回号を指定してください。";

[[nodiscard]] std::u16string Drawn(std::int32_t number);  // 第N回
[[nodiscard]] std::u16string NotFourDigitsMessage(std::u16string_view result);
[[nodiscard]] std::u16string BadDateMessage(std::u16string_view date);
[[nodiscard]] std::u16string NotAboveMessage(std::int32_t draw, std::int32_t highest);
[[nodiscard]] std::u16string MissingMessage(std::int32_t first, std::int32_t last);
[[nodiscard]] std::u16string NotInHistoryMessage(std::int32_t draw);
[[nodiscard]] std::u16string BelowAndMissingMessage(std::int32_t draw, std::int32_t highest);
[[nodiscard]] std::u16string DateNotAfterMessage(std::int32_t draw, const CalendarDate& date,
                                                 std::int32_t previous,
                                                 const CalendarDate& previousDate);
// A draw next to another by number, for a date refusal.
struct DrawNeighbour {
    std::int32_t number = 0;
    CalendarDate date;
};
// A date that must lie strictly between the draws before and after it.
[[nodiscard]] std::u16string DateBetweenMessage(std::int32_t draw, const CalendarDate& date,
                                                const std::optional<DrawNeighbour>& previous,
                                                const std::optional<DrawNeighbour>& next);
// S,B,SS,SB with empty parts for amounts not known.
[[nodiscard]] std::u16string PayoutsShown(const DrawPayouts& payouts);
[[nodiscard]] std::u16string BadPayoutsMessage(std::u16string_view payouts);
[[nodiscard]] std::u16string ExistsMessage(std::u16string_view path);
// A failed step of the write, with the system's reason.
[[nodiscard]] std::u16string WriteFailedMessage(const WriteOutcome& outcome);

}  // namespace corvalith
