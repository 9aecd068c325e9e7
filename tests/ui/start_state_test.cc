// The window as it opens: controls, defaults, layout, menus and tab order.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_template.h"
#include "ui/dialog_units.h"
#include "ui/draw_number_edit.h"
#include "ui/drop_down_combo.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"
#include "ui/up_down_control.h"

namespace corvalith::testing {
namespace {

using StartState = DialogTest;

TEST_F(StartState, FifteenLpfHeadDrawOneAndEmptyFields) {
    // Interval list 10 ... 30 in text order, 15 selected.
    DropDownCombo* interval = IntervalList();
    ASSERT_EQ(interval->count(), 7);
    const QStringList expected{"10", "12", "15", "18", "20", "24", "30"};
    for (int i = 0; i < interval->count(); ++i) EXPECT_EQ(interval->GetLBText(i), expected[i]);
    EXPECT_EQ(interval->GetCurSel(), 2);
    EXPECT_EQ(interval->currentText(), "15");

    // LPF checked, the hidden _FFT_HEAD checked.
    EXPECT_TRUE(Item<QRadioButton>(id::kFilterLpf)->isChecked());
    EXPECT_FALSE(Item<QRadioButton>(id::kFilterBpf)->isChecked());
    EXPECT_FALSE(Item<QRadioButton>(id::kFilterNone)->isChecked());
    EXPECT_TRUE(Item<QRadioButton>(id::kFftHead)->isChecked());
    EXPECT_EQ(dialog->FilterKind(), 0);
    EXPECT_EQ(dialog->FftFlag(), 0);

    // Draw-number edit: 4 characters, up-down 1 to 9999 at 1 (shown in the buddy).
    auto* edit = static_cast<corvalith::DrawNumberEdit*>(DrawNumberEdit());
    EXPECT_EQ(edit->LimitText(), 4);
    EXPECT_EQ(Spin()->Lower(), 1);
    EXPECT_EQ(Spin()->Upper(), 9999);
    EXPECT_EQ(Spin()->GetPos(), 1);
    EXPECT_EQ(edit->text(), "1");

    // Nothing pre-filled elsewhere; title and date line.
    EXPECT_TRUE(Item<QLineEdit>(id::kInputPath)->text().isEmpty());
    EXPECT_TRUE(dialog->InputPath().isEmpty());
    EXPECT_TRUE(Result()->Text().isEmpty());
    EXPECT_EQ(dialog->windowTitle(), "Corvalith");
    // Its own top-level window: minimise box and close box, no maximise box.
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(dialog->windowIcon().isNull());
    const QRegularExpression dateLine(
        QStringLiteral("^\\d{4}/\\d{2}/\\d{2}\\([日月火水木金土]\\) \\d{2}:\\d{2}:\\d{2}$"));
    EXPECT_TRUE(dateLine.match(Item<QLabel>(id::kDateLine)->text()).hasMatch())
        << Item<QLabel>(id::kDateLine)->text().toStdString();
    ASSERT_TRUE(dialog->DateFont().has_value());
    EXPECT_TRUE(dialog->DateFont()->bold());
    EXPECT_EQ(Item<QLabel>(id::kDateLine)->font(), *dialog->DateFont());
    EXPECT_FALSE(dialog->ResultFont().has_value());
}

TEST_F(StartState, HiddenControlsExistAndStayHidden) {
    for (int id : {id::kClear, id::kFftHead, id::kFftTail, id::kFftCenter, id::kFftHeadTail,
                   id::kOutputName}) {
        QWidget* control = dialog->GetDlgItem(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_FALSE(control->isVisible()) << id;
    }
    EXPECT_EQ(dialog->GetDlgItem(1010), nullptr);  // the Clear button's target does not exist
    Item<QPushButton>(id::kClear)->click();        // and clicking it changes nothing
    EXPECT_TRUE(Result()->Text().isEmpty());
}

TEST_F(StartState, ControlsSitWhereTheTemplatePutsThem) {
    const DialogBaseUnits base = BaseUnitsOf(dialog->font());
    ASSERT_GT(base.x, 0);
    ASSERT_GT(base.y, 0);
    for (const ControlTemplate& item : MainDialogTemplate()) {
        if (item.id == id::kStatic || item.id == id::kPicture) continue;
        const QRect expected = DialogRect(base, item.x, item.y, item.w, item.h);
        const QRect actual = dialog->GetDlgItem(item.id)->geometry();
        if (item.kind == ControlKind::Label || item.kind == ControlKind::Radio) {
            // A label or radio may only grow to the right, to fit its text.
            EXPECT_EQ(actual.topLeft(), expected.topLeft()) << item.id;
            EXPECT_EQ(actual.height(), expected.height()) << item.id;
            EXPECT_GE(actual.width(), expected.width()) << item.id;
            continue;
        }
        EXPECT_EQ(actual, expected) << item.id;
    }
    // The picture takes its bitmap's size at the template position.
    QWidget* picture = dialog->GetDlgItem(id::kPicture);
    EXPECT_EQ(picture->size(), QSize(100, 100));
    EXPECT_EQ(picture->pos(), DialogRect(base, 485, 8, 9, 9).topLeft());
    // The client area has the template's size, and the menu bar sits above it.
    const QWidget* client = Result()->parentWidget();
    const QRect bar = dialog->MenuBar()->geometry();
    const QSize templateSize = DialogRect(base, 0, 0, kDialogWidth, kDialogHeight).size();
    EXPECT_EQ(client->size(), templateSize);
    EXPECT_GT(bar.height(), 0);
    EXPECT_EQ(bar.top(), 0);
    EXPECT_EQ(client->y(), bar.bottom() + 1);
    EXPECT_EQ(dialog->size(), QSize(templateSize.width(), templateSize.height() + bar.height()));
    // Grown radios still end before their right-hand neighbour.
    EXPECT_LT(dialog->GetDlgItem(id::kFilterLpf)->geometry().right(),
              dialog->GetDlgItem(id::kFilterBpf)->geometry().left());
    EXPECT_LT(dialog->GetDlgItem(id::kFilterBpf)->geometry().right(),
              dialog->GetDlgItem(id::kFilterNone)->geometry().left());
}

TEST_F(StartState, FiltersAreOneRadioGroupAndTheFocusStartsOnTheDrawNumber) {
    EXPECT_EQ(QApplication::focusWidget(), DrawNumberEdit());
    Click(id::kFilterNone);
    EXPECT_TRUE(Item<QRadioButton>(id::kFilterNone)->isChecked());
    EXPECT_FALSE(Item<QRadioButton>(id::kFilterLpf)->isChecked());
    // The hidden placement group is a group of its own.
    EXPECT_TRUE(Item<QRadioButton>(id::kFftHead)->isChecked());
    EXPECT_EQ(dialog->FilterKind(), 2);
    Click(id::kFilterBpf);
    EXPECT_EQ(dialog->FilterKind(), 1);
    EXPECT_FALSE(Item<QRadioButton>(id::kFilterNone)->isChecked());
}

TEST_F(StartState, TabFollowsTheTemplateOrderOfTabStops) {
    DrawNumberEdit()->setFocus();
    // The result area is a tab stop so that the keyboard can scroll it.
    const std::vector<int> order{id::kSelect, id::kPredict,  id::kInputPath,
                                 id::kResult, id::kInterval, id::kDrawNumber};
    for (int expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        // The combo's edit field has the focus on behalf of the combo.
        if (focus && focus->parentWidget() == dialog->GetDlgItem(id::kInterval)) {
            focus = focus->parentWidget();
        }
        EXPECT_EQ(focus, dialog->GetDlgItem(expected)) << "expected " << expected;
    }
}

TEST_F(StartState, MenuBarHasTheHalfWidthKatakanaCommands) {
    const QList<QAction*> menus = dialog->MenuBar()->actions();
    ASSERT_EQ(menus.size(), 4);  // the 分析 and 履歴 menus between them
    EXPECT_EQ(menus[0]->text(), ToQString(u"ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(menus[2]->text(), ToQString(u"履歴(&H)"));
    EXPECT_EQ(menus[3]->text(), ToQString(u"ヘルプ"));
    ASSERT_NE(dialog->MenuCommand(id::kAppExit), nullptr);
    ASSERT_NE(dialog->MenuCommand(id::kAppAbout), nullptr);
    EXPECT_EQ(dialog->MenuCommand(id::kAppExit)->text(), ToQString(u"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
    EXPECT_EQ(dialog->MenuCommand(id::kAppAbout)->text(), ToQString(u"ﾊﾞｰｼﾞｮﾝ情報 (&A)..."));
    EXPECT_EQ(menus[0]->menu()->actions().front(), dialog->MenuCommand(id::kAppExit));
    EXPECT_EQ(menus[3]->menu()->actions().front(), dialog->MenuCommand(id::kAppAbout));
    EXPECT_EQ(dialog->MenuCommand(id::kAppAbout)->toolTip(), ToQString(u"ﾊﾞｰｼﾞｮﾝ情報"));
}

TEST_F(StartState, StaticControlsDrawOnLightGreyAndTheFontIsJapanese) {
    for (int id : {id::kDateLine, id::kResult}) {
        QWidget* control = dialog->GetDlgItem(id);
        EXPECT_TRUE(control->autoFillBackground()) << id;
        EXPECT_EQ(control->palette().color(QPalette::Window), QColor(240, 240, 240)) << id;
    }
    // A radio draws on its group box's grey (its pixels: the Drawing tests).
    const QWidget* radio = dialog->GetDlgItem(id::kFilterLpf);
    EXPECT_FALSE(radio->autoFillBackground());
    EXPECT_EQ(radio->palette().color(QPalette::Window), QColor(240, 240, 240));
    // "MS UI Gothic" resolves to an installed face that has kana.
    const QFontInfo info(dialog->font());
    EXPECT_NE(info.family(), QString::fromLatin1(kDialogFace));
    EXPECT_TRUE(QFontMetrics(dialog->font()).inFontUcs4(U'予'));
}

}  // namespace
}  // namespace corvalith::testing
