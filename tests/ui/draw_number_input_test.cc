// The draw-number edit and its up-down control, driven from the keyboard,
// the clipboard and the arrow buttons.
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QToolButton>

#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_template.h"
#include "ui/qt_text.h"
#include "ui/up_down_control.h"

namespace corvalith::testing {
namespace {

class DrawNumberInput : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        DrawNumberEdit()->clear();
    }
    void StepUp() { QTest::mouseClick(Spin()->UpButton(), Qt::LeftButton); }
    void StepDown() { QTest::mouseClick(Spin()->DownButton(), Qt::LeftButton); }
    QString Text() const { return DrawNumberEdit()->text(); }
};

TEST_F(DrawNumberInput, TypingTakesDigitsOnlyAndAtMostFour) {
    Type(id::kDrawNumber, "1a2-3");
    EXPECT_EQ(Text(), "123");
    Type(id::kDrawNumber, "45");
    EXPECT_EQ(Text(), "1234");  // the fifth character is refused
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Backspace);
    Type(id::kDrawNumber, "9");
    EXPECT_EQ(Text(), "1239");
    // Over a selection a digit replaces it, even at the limit.
    DrawNumberEdit()->selectAll();
    Type(id::kDrawNumber, "7");
    EXPECT_EQ(Text(), "7");
}

TEST_F(DrawNumberInput, PastingKeepsOnlyTheDigitsInTheirOrder) {
    Paste(id::kDrawNumber, "12a3");
    EXPECT_EQ(Text(), "123");
    DrawNumberEdit()->clear();
    Paste(id::kDrawNumber, "abc");
    EXPECT_EQ(Text(), "");
    // Full-width digits are not ASCII digits.
    Paste(id::kDrawNumber, ToQString(u"１２"));
    EXPECT_EQ(Text(), "");
}

TEST_F(DrawNumberInput, PastingIsCutAtTheLimitBeforeTheFilter) {
    Paste(id::kDrawNumber, "123456");
    EXPECT_EQ(Text(), "1234");
    DrawNumberEdit()->clear();
    // Four characters come in ("1a2b"), then the filter leaves the digits.
    Paste(id::kDrawNumber, "1a2b3c");
    EXPECT_EQ(Text(), "12");
    // No room: nothing is pasted.
    DrawNumberEdit()->setText("9876");
    DrawNumberEdit()->end(false);
    Paste(id::kDrawNumber, "5");
    EXPECT_EQ(Text(), "9876");
}

TEST_F(DrawNumberInput, TextSetByTheProgramIsNotLimited) {
    DrawNumberEdit()->setText("10000");
    EXPECT_EQ(Text(), "10000");
    DrawNumberEdit()->setText("1x2");  // the filter still runs on program text
    EXPECT_EQ(Text(), "12");
}

TEST_F(DrawNumberInput, StepsWritePlusOrMinusOneAndStayWithinTheRange) {
    DrawNumberEdit()->setText("41");
    StepUp();
    EXPECT_EQ(Text(), "42");
    StepDown();
    StepDown();
    EXPECT_EQ(Text(), "40");

    // At the bottom the step writes 1, not 0.
    DrawNumberEdit()->setText("1");
    StepDown();
    EXPECT_EQ(Text(), "1");
    EXPECT_EQ(Spin()->GetPos(), 1);

    // 999 -> 1000: shown grouped by the control, the filter leaves plain digits.
    DrawNumberEdit()->setText("999");
    QStringList shown;
    const auto connection = QObject::connect(DrawNumberEdit(), &QLineEdit::textChanged,
                                             [&](const QString& text) { shown << text; });
    StepUp();
    QObject::disconnect(connection);
    EXPECT_TRUE(shown.contains(QStringLiteral("1") + QLocale().groupSeparator() + "000"))
        << shown.join(' ').toStdString();
    EXPECT_EQ(Text(), "1000");
    EXPECT_EQ(Spin()->GetPos(), 1000);

    // At the top the step writes 9999, not 10000.
    DrawNumberEdit()->setText("9999");
    StepUp();
    EXPECT_EQ(Text(), "9999");
    DrawNumberEdit()->setText("10000");  // as the select-file command may write it
    StepUp();
    EXPECT_EQ(Text(), "9999");
}

TEST_F(DrawNumberInput, TheDeltaNotificationComesBeforeEachStep) {
    std::vector<std::pair<int, int>> seen;
    QObject::connect(Spin(), &UpDownControl::deltaPos,
                     [&](const NmUpDown& nm, int*) { seen.emplace_back(nm.iPos, nm.iDelta); });
    DrawNumberEdit()->setText("1000");
    StepUp();
    StepDown();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(1000, +1));
    EXPECT_EQ(seen[1], std::make_pair(1001, -1));
}

TEST_F(DrawNumberInput, ArrowKeysInTheEditStep) {
    DrawNumberEdit()->setText("7");
    DrawNumberEdit()->setFocus();
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Up);
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Up);
    EXPECT_EQ(Text(), "9");
    QTest::keyClick(DrawNumberEdit(), Qt::Key_Down);
    EXPECT_EQ(Text(), "8");
}

}  // namespace
}  // namespace corvalith::testing
