// The 履歴 menu: 新規作成 writes a history through the save-file service, and
// each dialog writes through the same core as corvix-cli, with failures in the
// same boxes and words.
#include "ui/history_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "commands/history_messages.h"
#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
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

TEST_F(HistoryMenuTest, NewWritesAHeaderOnlyHistoryAndChoosesIt) {
    const std::string path = dir.File("new.csv");
    services.AnswerSaveDialog(QString::fromStdString(path));
    Trigger(id::kHistoryNew);
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"));
    EXPECT_EQ(Item<QLineEdit>(id::kInputPath)->text(), QString::fromStdString(path));
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
        add.addButton()->click();
        EXPECT_EQ(add.drawEdit()->text(), QStringLiteral("5"));
        add.resultEdit()->setText(QStringLiteral("1111"));
        add.addButton()->click();  // the same date again: refused
        return 0;
    };
    Trigger(id::kHistoryAdd);
    EXPECT_EQ(ReadFile(path),
              MakeHistory({"0487", "0091", "1234"}) + ToCp932("第4回,2026/8/24,月,0971,-\n"));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text.toStdU16String(),
              DateNotAfterMessage(5, {2026, 8, 24}, 4, {2026, 8, 24}));
    EXPECT_EQ(DrawNumberEdit()->text(), QStringLiteral("5"));
}

TEST_F(HistoryMenuTest, AddReplacesADrawAndAllowsAGapWhenAsked) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091", "1234"});
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& add = dynamic_cast<AddResultDialog&>(modal);
        add.replaceBox()->setChecked(true);
        EXPECT_FALSE(add.allowGapBox()->isEnabled());
        add.drawEdit()->setText(QStringLiteral("2"));
        add.resultEdit()->setText(QStringLiteral("5555"));
        add.addButton()->click();  // the date is left alone
        add.drawEdit()->setText(QStringLiteral("3"));
        add.dateEdit()->setDate(QDate(2026, 8, 24));
        add.resultEdit()->setText(QStringLiteral("6666"));
        add.addButton()->click();  // the date picked is written
        add.replaceBox()->setChecked(false);
        EXPECT_TRUE(add.allowGapBox()->isEnabled());
        add.drawEdit()->setText(QStringLiteral("6"));
        add.dateEdit()->setDate(QDate(2026, 8, 25));
        add.resultEdit()->setText(QStringLiteral("7777"));
        add.addButton()->click();  // a gap: refused
        add.allowGapBox()->setChecked(true);
        add.resultEdit()->setText(QStringLiteral("7777"));
        add.addButton()->click();
        EXPECT_EQ(add.drawEdit()->text(), QStringLiteral("7"));
        return 0;
    };
    Trigger(id::kHistoryAdd);
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"
                                      "第1回,2001/5/7,月,0487,-\n"
                                      "第2回,2001/5/7,月,5555,-\n"
                                      "第3回,2026/8/24,月,6666,-\n"
                                      "第6回,2026/8/25,火,7777,-\n"));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text.toStdU16String(), MissingMessage(4, 5));
}

TEST_F(HistoryMenuTest, ImportPreviewsAndImportsOnlyWithoutConflicts) {
    const std::string path = WriteHistory("h.csv", {"0487", "0091"});
    const std::string before = ReadFile(path);
    ChooseFile(path);
    services.onModal = [&](QDialog& modal) {
        auto& import = dynamic_cast<ImportDialog&>(modal);
        import.pasteBox()->setPlainText(QStringLiteral("2 2001/5/7 9999\n3 2026/8/24 1234\n"));
        for (auto* button : modal.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("確認")) button->click();
        }
        EXPECT_EQ(import.preview()->rowCount(), 2);
        EXPECT_TRUE(import.preview()->item(0, 3)->text().startsWith(QStringLiteral("衝突")));
        EXPECT_FALSE(import.importButton()->isEnabled());
        EXPECT_EQ(ReadFile(path), before);
        import.pasteBox()->setPlainText(QStringLiteral("2 2001/5/7 0091\n3 2026/8/24 1234\n"));
        for (auto* button : modal.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("確認")) button->click();
        }
        EXPECT_EQ(import.preview()->item(0, 3)->text(), QStringLiteral("変更なし"));
        EXPECT_EQ(import.preview()->item(1, 3)->text(), QStringLiteral("新規"));
        EXPECT_TRUE(import.importButton()->isEnabled());
        import.importButton()->click();
        EXPECT_TRUE(import.summary()->text().startsWith(QStringLiteral("追加: 第3回")));
        return 0;
    };
    Trigger(id::kHistoryImport);
    EXPECT_EQ(ReadFile(path), before + ToCp932("第3回,2026/8/24,月,1234,-\n"));
    EXPECT_TRUE(services.boxes.empty());
}

}  // namespace
}  // namespace corvalith::testing
