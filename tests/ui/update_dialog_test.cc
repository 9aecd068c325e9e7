// 履歴 > 最新の結果を取得 wired to the tests' own server: the download and its
// preview come from a worker, 取り込む writes, 予想回号 follows; a failed
// download shows the command line's words.
#include "ui/update_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "tests/support/history_files.h"
#include "tests/support/local_server.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/resource.h"

namespace corvalith::testing {
namespace {

class UpdateMenuTest : public DialogTest {
  protected:
    void Trigger() {
        auto* action = dialog->findChild<QAction*>(QString::number(id::kHistoryUpdate));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QStringLiteral("最新の結果を取得(&U)..."));
        action->trigger();
    }
    // Presses `button` and waits (the window's event loop running) for the step's end.
    static void Step(UpdateDialog& update, QPushButton* button) {
        QSignalSpy ended(&update, &UpdateDialog::StepEnded);
        button->click();
        EXPECT_TRUE(update.busy());
        EXPECT_TRUE(ended.wait(20'000));
        EXPECT_FALSE(update.busy());
    }
};

TEST_F(UpdateMenuTest, FetchesPreviewsImportsAndProposesTheNextDraw) {
    TempDir served;
    served.Write("results.csv",
                 "回号,抽せん日,当せん番号\n第1回,2001-05-07,0487\n第2回,2001-05-08,5678\n"
                 "第3回,2001-05-09,9012\n");
    LocalServer server(served.path());
    ASSERT_TRUE(server.ok());
    const std::string path = WriteHistory("h.csv", {"0487"});
    ChooseFile(path);
    QSignalSpy written(dialog.get(), &CPendulaDlg::historyWritten);
    services.onModal = [&](QDialog& modal) {
        auto& update = dynamic_cast<UpdateDialog&>(modal);
        EXPECT_EQ(update.sourceEdit()->text().toStdString(), kDefaultUpdateSource);
        update.sourceEdit()->setText(QString::fromStdString(server.Url("/files/results.csv")));
        Step(update, update.fetchButton());
        QTableWidget* rows = update.preview();
        EXPECT_EQ(rows->rowCount(), 3);
        EXPECT_EQ(rows->item(0, 3)->text(), QStringLiteral("変更なし"));
        EXPECT_EQ(rows->item(2, 3)->text(), QStringLiteral("新規"));
        EXPECT_TRUE(update.importButton()->isEnabled());
        EXPECT_EQ(ReadFile(path), MakeHistory({"0487"}));  // a preview writes nothing
        EXPECT_EQ(written.count(), 0);
        Step(update, update.importButton());
        EXPECT_EQ(written.count(), 1);
        EXPECT_FALSE(update.importButton()->isEnabled());
        EXPECT_TRUE(update.summary()->text().contains(QStringLiteral("第3回")));
        return 0;
    };
    Trigger();
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_NE(ReadFile(path).find(ToCp932("第3回,2001/5/9,水,9012,")), std::string::npos);
    EXPECT_EQ(Item<QLineEdit>(id::kDrawNumber)->text(), QStringLiteral("4"));
}

TEST_F(UpdateMenuTest, AFailedDownloadShowsTheCommandLinesWords) {
    TempDir served;
    LocalServer server(served.path());
    ASSERT_TRUE(server.ok());
    const std::string path = WriteHistory("h.csv", {"0487"});
    ChooseFile(path);
    const std::string url = server.Url("/missing.json");
    services.onModal = [&](QDialog& modal) {
        auto& update = dynamic_cast<UpdateDialog&>(modal);
        update.sourceEdit()->setText(QString::fromStdString(url));
        Step(update, update.fetchButton());
        return 0;
    };
    Trigger();
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text.toStdString(),
              "最新の結果を取得できません: " + url + ": サーバーの応答が HTTP 404 です");
    EXPECT_EQ(ReadFile(path), MakeHistory({"0487"}));
}

// A body that hardly moves: キャンセル gives the dialog back at once and the
// worker, told to stop, shows nothing more.
TEST_F(UpdateMenuTest, CancelLeavesTheDownloadWithoutWaiting) {
    TempDir served;
    LocalServer server(served.path());
    ASSERT_TRUE(server.ok());
    const std::string path = WriteHistory("h.csv", {"0487"});
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& update = dynamic_cast<UpdateDialog&>(modal);
        update.sourceEdit()->setText(QString::fromStdString(server.Url("/drip")));
        QSignalSpy ended(&update, &UpdateDialog::StepEnded);
        update.fetchButton()->click();
        EXPECT_TRUE(update.busy());
        EXPECT_FALSE(ended.wait(300));  // still downloading
        update.cancelButton()->click();
        EXPECT_FALSE(update.busy());
        EXPECT_TRUE(update.fetchButton()->isEnabled());
        EXPECT_EQ(ended.count(), 1);
        EXPECT_EQ(update.summary()->text(), QStringLiteral("取り消しました。"));
        EXPECT_FALSE(ended.wait(300));  // the stopped worker posts nothing
        EXPECT_EQ(update.preview()->rowCount(), 0);
        return 0;
    };
    Trigger();
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_EQ(ReadFile(path), MakeHistory({"0487"}));
}

}  // namespace
}  // namespace corvalith::testing
