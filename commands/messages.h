// The user-facing texts of the forecast commands, in one place, and the map
// from a Predict outcome to the text that reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/predict_core.h"

namespace corvalith {

inline constexpr std::u16string_view kErrorCaption = u"エラー";
inline constexpr std::u16string_view kMsgNoPath = u"ファイルパスが入力されていません。";
inline constexpr std::u16string_view kMsgPathNotFound = u"有効なファイルパスを入力してください。";
inline constexpr std::u16string_view kMsgReadFailed =
    u"カルヴェンダデータの読み込みに失敗しました。";
inline constexpr std::u16string_view kMsgPredictFailed =
    u"予想中に予期しないエラーが発生しました。";
// Memory ran out while a command ran (any command, any face).
inline constexpr std::u16string_view kMsgOutOfMemory =
    u"メモリが不足しているため処理できませんでした。";
inline constexpr std::u16string_view kMsgStartNotice = u"KARVENDA 予想開始します";
inline constexpr std::u16string_view kMsgNoComboBox = u"コンボボックスが見つかりません";
inline constexpr std::u16string_view kMsgNoSelection = u"コンボボックスから値を選択してください";

// The evaluation of a history: one without draws, a failure of the run itself.
inline constexpr std::u16string_view kMsgNoDraws =
    u"評価する抽せんがありません（履歴はヘッダ行だけです）。";
inline constexpr std::u16string_view kMsgEvaluationFailed =
    u"評価中に予期しないエラーが発生しました。";

// The first draw whose number is not above the one before it: its 1-based
// line of the file and both draw numbers.
[[nodiscard]] std::u16string OrderViolationMessage(std::size_t line, std::int32_t current,
                                                   std::int32_t previous);

// The text that reports a failed outcome; empty for Ok.
[[nodiscard]] constexpr std::u16string_view FailureMessage(PredictStatus status) noexcept {
    switch (status) {
        case PredictStatus::NoPath:
            return kMsgNoPath;
        case PredictStatus::PathNotFound:
            return kMsgPathNotFound;
        case PredictStatus::ReadFailed:
            return kMsgReadFailed;
        case PredictStatus::OutOfMemory:
            return kMsgOutOfMemory;
        case PredictStatus::Failed:
            return kMsgPredictFailed;
        case PredictStatus::Ok:
            break;
    }
    return {};
}

}  // namespace corvalith
