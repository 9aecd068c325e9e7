// The 履歴 menu: 新規作成 writes a history through the save-file service, and
// each dialog writes through the same core as corvix-cli, with failures in the
// same boxes and words.
#include "ui/history_dialogs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "commands/history_messages.h"
#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/qt_text.h"
#include "ui/resource.h"

namespace corvalith::testing {
namespace {

class HistoryMenuTest : public DialogTest {
  protected:
    void Trigger(int command) {
        auto* action = dialog->findChild<QAction*>(QString::number(command));
        ASSERT_NE(action, nullptr);
        action->trigger();
    }
};

// Clicks `button` of `dialog` and waits until the write it started ended.
template <typename Dialog>
void ClickAndWait(Dialog& dialog, QPushButton* button) {
    button->click();
    ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.IsBusy(); }, 20000));
}

TEST_F(HistoryMenuTest, NewWritesAHeaderOnlyHistoryAndChoosesIt) {
    const std::string path = dir.File("new.csv");
    services.AnswerSaveDialog(QString::fromStdString(path));
    QStringList written;
    QObject::connect(dialog.get(), &CPendulaDlg::historyWritten,
                     [&written](const QString& p) { written << p; });
    Trigger(id::kHistoryNew);
    ASSERT_TRUE(QTest::qWaitFor([&written] { return !written.isEmpty(); }, 20000));
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"));
    EXPECT_EQ(Item<QLineEdit>(id::kInputPath)->text(), QString::fromStdString(path));
    EXPECT_EQ(written, QStringList{QString::fromStdString(path)});
    EXPECT_EQ(DrawNumberEdit()->text(), QStringLiteral("1"));
    EXPECT_EQ(services.newFileDialogs.size(), 1u);  // a dialog that never offers to replace
    services.AnswerSaveDialog(QString::fromStdString(path));
    Trigger(id::kHistoryNew);  // the path is taken now
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_TRUE(services.boxes[0].text.startsWith(QStringLiteral("ファイルがすでにある")));
}

TEST_F(HistoryMenuTest, AddProposesTheDrawWritesAndProposesTheNext) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091", "1234"});
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& add = dynamic_cast<AddResultDialog&>(modal);
        EXPECT_EQ(add.drawEdit()->text(), QStringLiteral("4"));
        add.dateEdit()->setDate(QDate(2026, 8, 24));
        EXPECT_EQ(add.weekdayLabel()->text(), QStringLiteral("月"));
        add.resultEdit()->setText(QStringLiteral("０９７１"));
        add.payoutEdit(PayoutKind::Straight)->setText(QStringLiteral("1000000"));
        add.payoutEdit(PayoutKind::SetStraight)->setText(QStringLiteral("468700"));
        add.payoutEdit(PayoutKind::SetBox)->setText(QStringLiteral("１８７００"));
        ClickAndWait(add, add.addButton());
        EXPECT_EQ(add.drawEdit()->text(), QStringLiteral("5"));
        EXPECT_TRUE(add.payoutEdit(PayoutKind::Straight)->text().isEmpty());
        add.resultEdit()->setText(QStringLiteral("1111"));
        ClickAndWait(add, add.addButton());  // the same date again: refused
        return 0;
    };
    Trigger(id::kHistoryAdd);
    const std::string before = MakeHistory({"0487", "0091", "1234"});
    const std::string header = ToCp932("回号,抽せん日,曜日,当せん番号,備考\n");
    EXPECT_EQ(ReadFile(path),
              ToCp932("回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
                      "セット（ボックス）\n") +
                  before.substr(header.size()) +
                  ToCp932("第4回,2026/8/24,月,0971,-,1000000,,468700,18700\n"));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text.toStdU16String(),
              DateNotAfterMessage(5, {2026, 8, 24}, 4, {2026, 8, 24}));
    EXPECT_EQ(DrawNumberEdit()->text(), QStringLiteral("5"));
}

TEST_F(HistoryMenuTest, AddReplacesADrawAndAllowsAGapWhenAsked) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091", "1234"});
    ChooseFile(path);
    services.AnswerQuestion(true);
    services.AnswerQuestion(true);
    services.onModal = [&](QDialog& modal) {
        auto& add = dynamic_cast<AddResultDialog&>(modal);
        add.replaceBox()->setChecked(true);
        EXPECT_FALSE(add.allowGapBox()->isEnabled());
        add.drawEdit()->setText(QStringLiteral("2"));
        add.resultEdit()->setText(QStringLiteral("5555"));
        ClickAndWait(add, add.addButton());  // the date is left alone
        add.drawEdit()->setText(QStringLiteral("3"));
        add.dateEdit()->setDate(QDate(2026, 8, 24));
        add.resultEdit()->setText(QStringLiteral("6666"));
        ClickAndWait(add, add.addButton());  // the date picked is written
        add.replaceBox()->setChecked(false);
        EXPECT_TRUE(add.allowGapBox()->isEnabled());
        add.drawEdit()->setText(QStringLiteral("6"));
        add.dateEdit()->setDate(QDate(2026, 8, 25));
        add.resultEdit()->setText(QStringLiteral("7777"));
        ClickAndWait(add, add.addButton());  // a gap: refused
        add.allowGapBox()->setChecked(true);
        add.resultEdit()->setText(QStringLiteral("7777"));
        ClickAndWait(add, add.addButton());
        EXPECT_EQ(add.drawEdit()->text(), QStringLiteral("7"));
        EXPECT_FALSE(add.allowGapBox()->isChecked());  // cleared after its use
        return 0;
    };
    Trigger(id::kHistoryAdd);
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"
                                      "第1回,2001/5/7,月,0487,-\n"
                                      "第2回,2001/5/7,月,5555,-\n"
                                      "第3回,2026/8/24,月,6666,-\n"
                                      "第6回,2026/8/25,火,7777,-\n"));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text,
              QStringLiteral("第4回～第5回が抜けています。抜けたまま書くには「抜けを許す」にチェッ"
                             "クを入れてください。"));
    ASSERT_EQ(services.questions.size(), 2u);  // each replace showed the old result and asked
    EXPECT_EQ(services.questions[0].text,
              QStringLiteral("第2回の結果 0091 を 5555 に置き換えますか？"));
}

TEST_F(HistoryMenuTest, ImportPreviewsAndImportsOnlyWithoutConflicts) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091"});
    const std::string before = ReadFile(path);
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& import = dynamic_cast<ImportDialog&>(modal);
        import.pasteBox()->setPlainText(QStringLiteral("2 2001/5/7 9999\n3 2026/8/24 1234\n"));
        ClickAndWait(import, import.previewButton());
        EXPECT_EQ(import.preview()->rowCount(), 2);
        EXPECT_TRUE(import.preview()->item(0, 3)->text().startsWith(QStringLiteral("衝突")));
        EXPECT_FALSE(import.importButton()->isEnabled());
        EXPECT_EQ(ReadFile(path), before);
        import.pasteBox()->setPlainText(QStringLiteral("2 2001/5/7 0091\n3 2026/8/24 1234\n"));
        ClickAndWait(import, import.previewButton());
        EXPECT_EQ(import.preview()->item(0, 3)->text(), QStringLiteral("変更なし"));
        EXPECT_EQ(import.preview()->item(1, 3)->text(), QStringLiteral("新規"));
        EXPECT_TRUE(import.importButton()->isEnabled());
        ClickAndWait(import, import.importButton());
        EXPECT_TRUE(
            import.summary()->text().startsWith(QStringLiteral("書き込みました。\n追加: 第3回")));
        EXPECT_EQ(import.preview()->item(1, 3)->text(), QStringLiteral("追加しました"));
        EXPECT_EQ(import.preview()->editTriggers(), QAbstractItemView::NoEditTriggers);
        return 0;
    };
    Trigger(id::kHistoryImport);
    EXPECT_EQ(ReadFile(path), before + ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_TRUE(services.boxes.empty());
}

TEST_F(HistoryMenuTest, ImportedFilesCanBeRemovedAndGapsAllowed) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091"});
    const std::string first = dir.Write("a.txt", "3 2026/8/24 1234\n");
    const std::string second = dir.Write("b.txt", "6 2026/8/27 4321\n");
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& import = dynamic_cast<ImportDialog&>(modal);
        for (const std::string& file : {first, second}) {
            services.AnswerFileDialog(QString::fromStdString(file));
            for (auto* button : modal.findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("ファイルを選ぶ...")) button->click();
            }
        }
        EXPECT_EQ(import.fileList()->count(), 2);
        ClickAndWait(import, import.previewButton());  // 第4回～第5回 missing: refused
        EXPECT_TRUE(import.summary()->text().contains(QStringLiteral("「抜けを許す」")));
        EXPECT_FALSE(import.importButton()->isEnabled());
        import.fileList()->item(1)->setSelected(true);
        for (auto* button : modal.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("外す")) button->click();
        }
        EXPECT_EQ(import.fileList()->count(), 1);
        import.allowGapBox()->setChecked(true);
        ClickAndWait(import, import.previewButton());
        EXPECT_EQ(import.preview()->rowCount(), 1);
        ClickAndWait(import, import.importButton());
        return 0;
    };
    Trigger(id::kHistoryImport);
    EXPECT_EQ(ReadFile(path),
              MakeHistory({"0487", "0091"}) + ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_TRUE(services.boxes.empty());
}

// Pasted JSON with payouts: the history's draw gains them, and with
// 履歴の値を優先 a draw that disagrees is kept as it is.
TEST_F(HistoryMenuTest, ImportAddsPayoutsAndKeepsTheHistorysDrawWhenAsked) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091"});
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& import = dynamic_cast<ImportDialog&>(modal);
        import.pasteBox()->setPlainText(QStringLiteral(
            R"([{"draw_no": 1, "date": "2001-05-07", "winning_number": "1111"},
                {"draw_no": 2, "date": "2001-05-07", "winning_number": "0091",
                 "prize": {"straight": 1000000, "box": 80000, "set_straight": 540000,
                           "set_box": 40000}}])"));
        ClickAndWait(import, import.previewButton());
        EXPECT_FALSE(import.importButton()->isEnabled());  // a conflict
        import.keepMineBox()->setChecked(true);
        ClickAndWait(import, import.previewButton());
        EXPECT_EQ(import.preview()->item(0, 3)->text(),
                  QStringLiteral("衝突 0487（履歴の値を優先）"));
        EXPECT_EQ(import.preview()->item(1, 3)->text(), QStringLiteral("払戻金を追加"));
        EXPECT_TRUE(import.importButton()->isEnabled());
        ClickAndWait(import, import.importButton());
        EXPECT_EQ(import.preview()->item(1, 3)->text(), QStringLiteral("払戻金を追加しました"));
        return 0;
    };
    Trigger(id::kHistoryImport);
    const std::string written = ReadFile(path);
    EXPECT_NE(written.find(ToCp932("第1回,2001/5/7,月,0487,-\n")), std::string::npos) << written;
    EXPECT_NE(written.find(ToCp932("第2回,2001/5/7,月,0091,-,1000000,80000,540000,40000\n")),
              std::string::npos)
        << written;
    EXPECT_TRUE(services.boxes.empty());
}

// Another program holds the history's lock: 追加 shows that it is writing,
// the window's thread keeps running (a timer fires, the close button is
// refused), and the write ends once the lock is released.
TEST_F(HistoryMenuTest, AWriteWaitingForTheLockLeavesTheWindowRunning) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091"});
    ChooseFile(path);
    const int held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    bool timerFired = false;
    services.onModal = [&](QDialog& modal) {
        auto& add = dynamic_cast<AddResultDialog&>(modal);
        add.dateEdit()->setDate(QDate(2026, 8, 24));
        add.resultEdit()->setText(QStringLiteral("1234"));
        add.show();
        add.addButton()->click();  // returns at once: the write waits on its worker
        EXPECT_TRUE(add.IsBusy());
        QTimer::singleShot(50, [&timerFired] { timerFired = true; });
        EXPECT_TRUE(QTest::qWaitFor([&timerFired] { return timerFired; }, 5000));
        EXPECT_TRUE(add.IsBusy());
        // The worker says at once that it waits for the other writer.
        EXPECT_TRUE(QTest::qWaitFor(
            [&add] { return add.statusLabel()->text() == ToQString(kMsgHistoryWaiting); }, 5000))
            << add.statusLabel()->text().toStdString();
        add.reject();  // not while the write runs
        EXPECT_TRUE(add.isVisible());
        ::flock(held, LOCK_UN);
        EXPECT_TRUE(QTest::qWaitFor([&add] { return !add.IsBusy(); }, 20000));
        EXPECT_TRUE(add.statusLabel()->text().startsWith(QStringLiteral("追加しました")));
        return 0;
    };
    Trigger(id::kHistoryAdd);
    ::close(held);
    EXPECT_EQ(ReadFile(path),
              MakeHistory({"0487", "0091"}) + ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_EQ(DrawNumberEdit()->text(), QStringLiteral("4"));  // the dialog follows the write
}

}  // namespace
}  // namespace corvalith::testing
