#include "commands/history_messages.h"

#include <cstring>

#include "text/file_system_path.h"

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
        case FileStep::Lock:
            return u"履歴をロックする";
        case FileStep::Access:
            return u"書き込めるか確かめる";
        case FileStep::CleanUp:
            return u"残った一時ファイルを消す";
        case FileStep::Owner:
            return u"所有者を移す";
        case FileStep::Attributes:
            return u"拡張属性を移す";
        case FileStep::Verify:
            return u"履歴が変わっていないか確かめる";
        case FileStep::PutBack:
            return u"元のファイルに戻す";
        case FileStep::Place:
            return u"新しいファイルを置く";
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
    std::u16string where(StepName(outcome.step));
    if (!outcome.folder.empty())
        where += u"（フォルダ " + PathFromFileSystem(outcome.folder) + u"）";
    return u"履歴ファイルを書き込めませんでした（" + where + u": " +
           Ascii(std::strerror(outcome.error)) + u"）。履歴は変わっていません。";
}

std::u16string UnconfirmedMessage(const WriteOutcome& outcome) {
    return u"履歴ファイルは新しい内容に置き換えましたが、ディスクに書き出されたことを確かめられませ"
           u"んでした（" +
           std::u16string(StepName(outcome.step)) + u": " + Ascii(std::strerror(outcome.error)) +
           u"）。";
}

std::u16string LockedMessage(std::chrono::milliseconds waited) {
    if (waited.count() <= 0) {
        return u"他のプログラムが履歴を書き込み中のため、何も書き込んでいません（待たない指定です）"
               u"。"
               u"履歴は変わっていません。";
    }
    const auto tenths = (waited.count() + 50) / 100;
    std::string seconds = std::to_string(tenths / 10);
    if (tenths % 10 != 0) seconds += "." + std::to_string(tenths % 10);
    return u"他のプログラムが履歴を書き込み中のため、" + Ascii(seconds) +
           u" 秒待っても書き込めませんでした。履歴は変わっていません。";
}

std::u16string WriteNoteMessage(const WriteNote& note) {
    const std::u16string reason = Ascii(std::strerror(note.error));
    switch (note.kind) {
        case WriteNote::Kind::OwnerNotKept:
            return u"注意: 履歴の所有者を保てませんでした（グループは保ちました）: " + reason;
        case WriteNote::Kind::OwnerAndGroupNotKept:
            return u"注意: "
                   u"履歴の所有者とグループを保てませんでした（書き込んだユーザーのものになりました"
                   u"）: " +
                   reason;
        case WriteNote::Kind::AttributeNotCopied:
            return u"注意: 拡張属性" +
                   (note.name.empty() ? std::u16string() : u" " + PathFromFileSystem(note.name)) +
                   u" を新しいファイルに移せませんでした: " + reason;
        case WriteNote::Kind::OtherNamesKeepOld:
            return u"注意: この履歴にはほかに " + Ascii(std::to_string(note.count)) +
                   u" 個の名前（ハードリンク）があり、それらは元の内容のままです。";
    }
    return u"?";
}

}  // namespace corvalith
