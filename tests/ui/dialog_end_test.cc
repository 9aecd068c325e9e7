// How the dialog ends (Enter, Escape, the close box, the exit command) and
// the About box from the ヘルプ menu.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_template.h"
#include "ui/drop_down_combo.h"
#include "ui/qt_text.h"

namespace corvalith::testing {
namespace {

using DialogEnd = DialogTest;

// Opens `menuIndex` of the menu bar and clicks command `id` in it, with the mouse.
void ClickMenuCommand(CPendulaDlg& dialog, int menuIndex, int id) {
    QMenuBar* bar = dialog.MenuBar();
    QAction* menuAction = bar->actions().at(menuIndex);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menuAction).center());
    QMenu* menu = menuAction->menu();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    QAction* command = dialog.MenuCommand(id);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(command).center());
}

TEST_F(DialogEnd, EnterInTheDrawNumberEditEndsWithOkAndReadsTheControls) {
    Item<QLineEdit>(id::kInputPath)->setText("typed path");
    DrawNumberEdit()->setFocus();
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), CPendulaDlg::kIdOk);
    EXPECT_EQ(dialog->InputPath(), "typed path");  // data exchange from the controls
}

TEST_F(DialogEnd, EnterInTheIntervalFieldEndsWithOk) {
    IntervalList()->setFocus();
    QTest::keyClick(IntervalList()->lineEdit(), Qt::Key_Enter);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), CPendulaDlg::kIdOk);
}

TEST_F(DialogEnd, EnterOnTheNumericKeypadIsEnter) {
    // In an edit: OK, with the controls read.
    Item<QLineEdit>(id::kInputPath)->setText("keypad path");
    DrawNumberEdit()->setFocus();
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), CPendulaDlg::kIdOk);
    EXPECT_EQ(dialog->InputPath(), "keypad path");

    // On a focused button: a click, and the dialog stays.
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QPushButton* select = Item<QPushButton>(id::kSelect);
    select->setFocus();
    QTest::keyClick(select, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());

    // Another modifier with it is not Enter: the dialog stays open.
    DrawNumberEdit()->setFocus();
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Enter, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DialogEnd, EnterOnAFocusedButtonClicksItInstead) {
    QPushButton* select = Item<QPushButton>(id::kSelect);
    select->setFocus();
    QTest::keyClick(select, Qt::Key_Return);
    EXPECT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DialogEnd, EscapeAndTheCloseBoxEndWithCancel) {
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), CPendulaDlg::kIdCancel);

    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), CPendulaDlg::kIdCancel);
}

TEST_F(DialogEnd, TheExitCommandEndsWithZero) {
    ClickMenuCommand(*dialog, 0, id::kAppExit);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !dialog->isVisible(); }));
    EXPECT_EQ(dialog->result(), 0);
}

TEST_F(DialogEnd, TheHelpMenuShowsTheAboutBox) {
    QString caption, version, second, ok;
    bool hasIcon = false;
    bool closedByOk = false;
    services.onModal = [&](QDialog& about) {
        caption = about.windowTitle();
        auto* v = about.findChild<QLabel*>("version");
        auto* s = about.findChild<QLabel*>("secondLine");
        auto* i = about.findChild<QLabel*>("icon");
        auto* button = about.findChild<QPushButton*>("1");
        if (v) version = v->text();
        if (s) second = s->text();
        hasIcon = i && !i->pixmap().isNull();
        if (button) {
            ok = button->text();
            about.show();
            QTest::mouseClick(button, Qt::LeftButton);
            closedByOk = !about.isVisible() && about.result() == QDialog::Accepted;
        }
        EXPECT_EQ(about.parentWidget(), dialog.get());
        return about.result();
    };
    ClickMenuCommand(*dialog, 3, id::kAppAbout);  // ヘルプ, after ﾌｧｲﾙ, 分析 and 履歴
    ASSERT_TRUE(QTest::qWaitFor([this] { return !services.modalRuns.empty(); }));
    ASSERT_EQ(services.modalRuns.size(), 1u);
    EXPECT_EQ(services.modalRuns[0], "CAboutDlg");
    EXPECT_EQ(caption, "CORVALITH");
    EXPECT_EQ(version, ToQString(u"CORVALITH、バージョン 1.0"));
    EXPECT_FALSE(second.isEmpty());
    EXPECT_EQ(ok, "OK");
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(closedByOk);
    EXPECT_TRUE(dialog->isVisible());  // the main window stays
}

}  // namespace
}  // namespace corvalith::testing
