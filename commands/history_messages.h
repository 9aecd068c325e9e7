// The texts of the history commands, shared by corvix-cli and the window's
// boxes, so that both say the same words.
#pragma once

#include <chrono>
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
inline constexpr std::u16string_view kMsgFolderReadOnly =
    u"フォルダが読み取り専用のため、新しい履歴を作れません。";
// Told at once, on stderr or in the window, when another writer holds the lock.
inline constexpr std::u16string_view kMsgHistoryWaiting =
    u"他のプログラムが履歴を書き込み中です。待っています…";
inline constexpr std::u16string_view kMsgPlanDoesNotLoad =
    u"新しい内容が履歴として読み込めない形になったため、何も書き込んでいません（このプログラムの誤"
    u"りです）。"
    u"履歴は変わっていません。";
inline constexpr std::u16string_view kMsgPlanDiffers =
    u"新しい内容の抽せんが指定したものと合わないため、何も書き込んでいません（このプログラムの誤り"
    u"です）。"
    u"履歴は変わっていません。";
inline constexpr std::u16string_view kMsgWriteOutOfMemory =
    u"メモリが不足しているため、何も書き込んでいません。履歴は変わっていません。";
inline constexpr std::u16string_view kMsgWriteInternal =
    u"書き込みの準備中に予期しないエラーが発生したため、何も書き込んでいません。履歴は変わっていま"
    u"せん。";
// An exception outside the writer: what the disk holds is not known here.
inline constexpr std::u16string_view kMsgEditInternal =
    u"履歴の変更中に予期しないエラーが発生しました。";
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
// A failed step of the write, with the system's reason (the folder for a
// temporary file that could not be made); the history is unchanged.
[[nodiscard]] std::u16string WriteFailedMessage(const WriteOutcome& outcome);
// The new content is in place, but a later step could not confirm it.
[[nodiscard]] std::u16string UnconfirmedMessage(const WriteOutcome& outcome);
// Another writer held the lock beyond `waited` (0: the writer did not wait).
[[nodiscard]] std::u16string LockedMessage(std::chrono::milliseconds waited);
// One line for what a write could not keep of the old file.
[[nodiscard]] std::u16string WriteNoteMessage(const WriteNote& note);

}  // namespace corvalith
