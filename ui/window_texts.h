// Texts of the main window that are not Predict messages (those are in
// commands/messages.h): title, menu bar, the open-file dialog's filter entry and
// the box that reports a failure no command expected.
#pragma once

#include <string_view>

namespace corvalith {

inline constexpr std::u16string_view kWindowTitle = u"Corvalith";

// Menu bar: half-width katakana as the menu resource has them.
inline constexpr std::u16string_view kMenuFile = u"ﾌｧｲﾙ(&F)";
inline constexpr std::u16string_view kMenuAppExit = u"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr std::u16string_view kMenuHelp = u"ヘルプ";
inline constexpr std::u16string_view kMenuAppAbout = u"ﾊﾞｰｼﾞｮﾝ情報 (&A)...";
// Prompt and tool tip of the About command, separated by a line feed.
inline constexpr std::u16string_view kPromptAppAbout =
    u"ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報";

// The open-file dialog's single filter entry and its pattern.
inline constexpr std::u16string_view kAllFilesFilter = u"すべてのファイル(*.*)";
inline constexpr std::u16string_view kAllFilesPattern = u"*.*";

// A handler met a failure that none of its own checks covers (the window
// stays open and usable).
inline constexpr std::u16string_view kMsgUnexpectedFailure = u"予期しないエラーが発生しました。";

}  // namespace corvalith
