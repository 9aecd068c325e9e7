// The resources of the window: the numbers by which the dialog templates,
// the menu, the string table, the icon, the bitmaps, the controls and the
// menu commands are known, and the texts the resources hold.
#pragma once

#include <string_view>

namespace corvalith {

namespace res {
inline constexpr int kAboutBox = 100;  // dialog template of CAboutDlg
// String 101 names the About item of a window menu; the window manager owns
// that menu here, so the item is on the ヘルプ menu instead and the string is
// not used.
inline constexpr int kAboutItemString = 101;
inline constexpr int kMainDialog = 102;        // dialog template of CPendulaDlg
inline constexpr int kApplicationIcon = 128;   // icon
inline constexpr int kMainMenu = 131;          // the main dialog's menu bar
inline constexpr int kLogoBitmap = 135;        // 100 x 100, shown in id::kPicture
inline constexpr int kBackgroundBitmap = 136;  // 1024 x 1024, the client area's background
inline constexpr int kAppAboutPrompt = 32777;  // string: prompt of the About command
}  // namespace res

// Control ids of the main dialog and of its menu.
namespace id {
inline constexpr int kStatic = -1;  // a control nothing refers to
inline constexpr int kInputPath = 1000;
inline constexpr int kSelect = 1001;
inline constexpr int kPredict = 1003;
inline constexpr int kClear = 1004;
inline constexpr int kDrawNumber = 1005;
inline constexpr int kFftHead = 1006;
inline constexpr int kFftTail = 1007;
inline constexpr int kFftCenter = 1008;
inline constexpr int kFftHeadTail = 1009;
inline constexpr int kOutputName = 1011;
inline constexpr int kPicture = 1012;
inline constexpr int kResult = 1014;
inline constexpr int kSpin = 1015;
inline constexpr int kFilterNone = 1017;
inline constexpr int kFilterBpf = 1018;
inline constexpr int kFilterLpf = 1019;
inline constexpr int kDateLine = 1020;
inline constexpr int kInterval = 1021;
inline constexpr int kAppExit = 40002;   // menu: end the dialog
inline constexpr int kAppAbout = 32777;  // menu: About box
// The 分析 menu: the analysis window on one of its tabs.
inline constexpr int kAnalysisDetail = 40010;
inline constexpr int kAnalysisVerify = 40011;
inline constexpr int kAnalysisSweep = 40012;
inline constexpr int kAnalysisRandomness = 40013;
inline constexpr int kAnalysisTickets = 40014;
inline constexpr int kHistoryNew = 40020;
inline constexpr int kHistoryAdd = 40021;
inline constexpr int kHistoryImport = 40022;
inline constexpr int kHistoryUpdate = 40023;
}  // namespace id

// Texts of the resources.
inline constexpr std::u16string_view kWindowTitle = u"Corvalith";

// res::kMainMenu: half-width katakana as the menu resource has them.
// The question before the program ends while the analysis window holds
// results or a run, or a history dialog is open.
inline constexpr std::u16string_view kMsgWorkWouldBeLost =
    u"分析の結果は失われます。終了しますか？";

inline constexpr std::u16string_view kMenuFile = u"ﾌｧｲﾙ(&F)";
inline constexpr std::u16string_view kMenuAppExit = u"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)";
inline constexpr std::u16string_view kMenuHelp = u"ヘルプ";
// The 分析 menu, between the two above.
inline constexpr std::u16string_view kMenuAnalysis = u"分析(&N)";
inline constexpr std::u16string_view kMenuAnalysisDetail = u"予想の詳細(&D)...";
inline constexpr std::u16string_view kMenuAnalysisVerify = u"予想の検証(&V)...";
inline constexpr std::u16string_view kMenuAnalysisSweep = u"全設定の比較(&C)...";
inline constexpr std::u16string_view kMenuAnalysisRandomness = u"乱数性の検定(&R)...";
inline constexpr std::u16string_view kMenuAnalysisTickets = u"買い目(&T)...";
inline constexpr std::u16string_view kMenuHistory = u"履歴(&H)";
inline constexpr std::u16string_view kMenuHistoryNew = u"新規作成(&W)...";
inline constexpr std::u16string_view kMenuHistoryAdd = u"結果の追加(&E)...";
inline constexpr std::u16string_view kMenuHistoryImport = u"結果の取り込み(&I)...";
inline constexpr std::u16string_view kMenuHistoryUpdate = u"最新の結果を取得(&U)...";
inline constexpr std::u16string_view kMenuAppAbout = u"ﾊﾞｰｼﾞｮﾝ情報 (&A)...";
// String res::kAppAboutPrompt: prompt and tool tip of the About command,
// separated by a line feed.
inline constexpr std::u16string_view kPromptAppAbout =
    u"ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報";

// The open-file dialog's single filter entry and its pattern.
inline constexpr std::u16string_view kAllFilesFilter = u"すべてのファイル(*.*)";
inline constexpr std::u16string_view kAllFilesPattern = u"*.*";

// A handler met a failure that none of its own checks covers (the window
// stays open and usable).
inline constexpr std::u16string_view kMsgUnexpectedFailure = u"予期しないエラーが発生しました。";

}  // namespace corvalith
