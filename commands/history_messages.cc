#include "commands/history_messages.h"

#include <cstring>

namespace corvalith {
namespace {

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string_view StepName(FileStep step) {
    switch (step) {
        case FileStep::OpenHistory:
            return u"履歴を開く";
        case FileStep::ReadHistory:
            return u"履歴を読む";
        case FileStep::Create:
            return u"一時ファイルを作る";
        case FileStep::Permissions:
            return u"権限を移す";
        case FileStep::Write:
            return u"書き込む";
        case FileStep::Sync:
            return u"ディスクに書き出す";
        case FileStep::ReadBack:
            return u"読み返して確かめる";
        case FileStep::Link:
            return u"元のファイルを残す";
        case FileStep::Rename:
            return u"置き換える";
        case FileStep::SyncDirectory:
            return u"フォルダを書き出す";
    }
    return u"?";
}

}  // namespace

std::u16string Drawn(std::int32_t number) { return u"第" + Ascii(std::to_string(number)) + u"回"; }

std::u16string NotFourDigitsMessage(std::u16string_view result) {
    return u"当せん番号は4桁の数字で指定してください: " + std::u16string(result);
}

std::u16string BadDateMessage(std::u16string_view date) {
    return u"抽せん日が正しい日付ではありません（例 2026/8/24）: " + std::u16string(date);
}

std::u16string NotAboveMessage(std::int32_t draw, std::int32_t highest) {
    return Drawn(draw) + u"は最新の" + Drawn(highest) +
           u"より後ではありません（結果を変えるには置き換えを指定してください）。";
}

std::u16string MissingMessage(std::int32_t first, std::int32_t last) {
    const std::u16string range = first == last ? Drawn(first) : Drawn(first) + u"～" + Drawn(last);
    return range + u"が抜けています（抜けを許すには --allow-gap を指定してください）。";
}

std::u16string NotInHistoryMessage(std::int32_t draw) {
    return Drawn(draw) + u"は履歴にありません。";
}

std::u16string BelowAndMissingMessage(std::int32_t draw, std::int32_t highest) {
    return Drawn(draw) + u"は最新の" + Drawn(highest) +
           u"より前ですが履歴にありません（途中には追加できません）。";
}

std::u16string DateNotAfterMessage(std::int32_t draw, const CalendarDate& date,
                                   std::int32_t previous, const CalendarDate& previousDate) {
    return Drawn(draw) + u"の抽せん日 " + DateShown(date) + u" が" + Drawn(previous) + u"の " +
           DateShown(previousDate) + u" より後ではありません。";
}

std::u16string DateBetweenMessage(std::int32_t draw, const CalendarDate& date,
                                  const std::optional<DrawNeighbour>& previous,
                                  const std::optional<DrawNeighbour>& next) {
    std::u16string text = Drawn(draw) + u"の抽せん日 " + DateShown(date) + u" は";
    if (previous) text += Drawn(previous->number) + u"（" + DateShown(previous->date) + u"）より後";
    if (previous && next) text += u"、";
    if (next) text += Drawn(next->number) + u"（" + DateShown(next->date) + u"）より前";
    return text + u"でなければなりません。";
}

std::u16string PayoutsShown(const DrawPayouts& payouts) {
    std::u16string text;
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        if (k > 0) text += u',';
        if (payouts.amounts[k]) text += Ascii(std::to_string(*payouts.amounts[k]));
    }
    return text;
}

std::u16string BadPayoutsMessage(std::u16string_view payouts) {
    return u"払戻金は「ストレート,ボックス,セット（ストレート）,セット（ボックス）」の 4 つを"
           u"カンマで区切って指定してください（各 0～99999999 の円、空も可）: " +
           std::u16string(payouts);
}

std::u16string ExistsMessage(std::u16string_view path) {
    return u"ファイルがすでにあるため、新しい履歴を作りません: " + std::u16string(path);
}

std::u16string WriteFailedMessage(const WriteOutcome& outcome) {
    return u"履歴ファイルを書き込めませんでした（" + std::u16string(StepName(outcome.step)) +
           u": " + Ascii(std::strerror(outcome.error)) + u"）。履歴は変わっていません。";
}

}  // namespace corvalith
