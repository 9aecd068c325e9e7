// Ending the program while work would be lost: Enter, Escape, the close box
// and ｱﾌﾟﾘｹｰｼｮﾝの終了 ask once when the analysis window holds a result or a
// history dialog is open; はい ends as before, いいえ keeps the window. With
// nothing to lose they end at once, without a question.
#include <QAction>
#include <QTest>

#include "tests/ui/dialog_fixture.h"
#include "ui/analysis/analysis_window.h"
#include "ui/qt_text.h"
#include "ui/resource.h"

namespace corvalith::testing {
namespace {

enum class Way { Enter, Escape, CloseBox, Menu };
enum class Work { None, AnalysisShown, AnalysisClosed, HistoryDialog };

struct CloseCase {
    const char* name;
    Way way;
    Work work;
    bool answer;  // to the question, when one is asked
    bool asked;
    bool ends;
    int result;  // when it ends
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class DialogClose : public DialogTest, public ::testing::WithParamInterface<CloseCase> {
  protected:
    void End(Way way) {
        switch (way) {
            case Way::Enter:
                DrawNumberEdit()->setFocus();
                QTest::keyClick(DrawNumberEdit(), Qt::Key_Return);
                break;
            case Way::Escape:
                QTest::keyClick(DrawNumberEdit(), Qt::Key_Escape);
                break;
            case Way::CloseBox:
                dialog->close();
                break;
            case Way::Menu:
                dialog->MenuCommand(id::kAppExit)->trigger();
                break;
        }
    }

    // Opens 予想の詳細 on a short history and waits for its result.
    void ComputeAnAnalysis() {
        ChooseFile(WriteHistory("h.csv", RandomResults(200, 7)));
        dialog->MenuCommand(id::kAnalysisDetail)->trigger();
        AnalysisWindow* analysis = dialog->Analysis();
        ASSERT_NE(analysis, nullptr);
        ASSERT_TRUE(QTest::qWaitFor(
            [analysis] { return !analysis->IsRunning() && analysis->Cache().size() > 0; }, 60000));
    }
};

TEST_P(DialogClose, AsksOnceOnlyWhenWorkWouldBeLost) {
    const CloseCase& c = GetParam();
    services.AnswerQuestion(c.answer);
    bool visibleAfter = true;
    if (c.work == Work::HistoryDialog) {
        ChooseFile(WriteHistory("h.csv", {"0487", "0091"}));
        services.onModal = [&](QDialog&) {
            End(c.way);
            visibleAfter = dialog->isVisible();
            return 0;
        };
        dialog->MenuCommand(id::kHistoryAdd)->trigger();
    } else {
        if (c.work != Work::None) ComputeAnAnalysis();
        if (c.work == Work::AnalysisClosed) dialog->Analysis()->close();
        End(c.way);
        visibleAfter = dialog->isVisible();
    }
    ASSERT_EQ(services.questions.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(services.questions[0].text, ToQString(kMsgWorkWouldBeLost));
        EXPECT_EQ(services.questions[0].ownerAtCall, dialog.get());
    }
    EXPECT_EQ(visibleAfter, !c.ends);
    if (c.ends) {
        EXPECT_EQ(dialog->result(), c.result);
    }
    EXPECT_TRUE(services.boxes.empty());
}

constexpr int kOk = CPendulaDlg::kIdOk;
constexpr int kCancel = CPendulaDlg::kIdCancel;

INSTANTIATE_TEST_SUITE_P(
    Table, DialogClose,
    ::testing::Values(
        // Nothing to lose: today's ends, no question.
        CloseCase{"EnterWithoutWork", Way::Enter, Work::None, false, false, true, kOk},
        CloseCase{"EscapeWithoutWork", Way::Escape, Work::None, false, false, true, kCancel},
        CloseCase{"CloseBoxWithoutWork", Way::CloseBox, Work::None, false, false, true, kCancel},
        CloseCase{"MenuWithoutWork", Way::Menu, Work::None, false, false, true, 0},
        CloseCase{"AnalysisClosedIsNoWork", Way::Escape, Work::AnalysisClosed, false, false, true,
                  kCancel},
        // A result in the analysis window: いいえ keeps everything.
        CloseCase{"EnterWithResultNo", Way::Enter, Work::AnalysisShown, false, true, false, 0},
        CloseCase{"EscapeWithResultNo", Way::Escape, Work::AnalysisShown, false, true, false, 0},
        CloseCase{"CloseBoxWithResultNo", Way::CloseBox, Work::AnalysisShown, false, true, false,
                  0},
        CloseCase{"MenuWithResultNo", Way::Menu, Work::AnalysisShown, false, true, false, 0},
        // はい ends with the result the way gives.
        CloseCase{"EnterWithResultYes", Way::Enter, Work::AnalysisShown, true, true, true, kOk},
        CloseCase{"MenuWithResultYes", Way::Menu, Work::AnalysisShown, true, true, true, 0},
        // A history dialog open counts as work.
        CloseCase{"CloseBoxWithHistoryDialogNo", Way::CloseBox, Work::HistoryDialog, false, true,
                  false, 0},
        CloseCase{"EscapeWithHistoryDialogYes", Way::Escape, Work::HistoryDialog, true, true, true,
                  kCancel}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvalith::testing
