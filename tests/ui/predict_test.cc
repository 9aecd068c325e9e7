// The Predict command from the window: a full forecast for each filter kind
// from a file chosen through the file dialog, the result area and its font,
// and every failure box with its text, caption, icon and detail.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "commands/messages.h"
#include "history/history_check.h"
#include "tests/support/history_files.h"
#include "tests/ui/dialog_fixture.h"
#include "ui/dialog_template.h"
#include "ui/drop_down_combo.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"

namespace corvalith::testing {
namespace {

class PredictCommand : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        history = WriteHistory("history.csv", RandomResults(300, 7), 1);
    }

    // The start notice as the command shows it.
    void ExpectStartNotice(const BoxRecord& box) const {
        EXPECT_EQ(box.text, ToQString(kMsgStartNotice));
        EXPECT_EQ(box.caption, "Corvix");
        EXPECT_EQ(box.icon, BoxIcon::None);
        EXPECT_EQ(box.ownerAtCall, dialog.get());
    }
    void ExpectErrorBox(const BoxRecord& box, std::u16string_view text) const {
        EXPECT_EQ(box.text, ToQString(text));
        EXPECT_EQ(box.caption, ToQString(kErrorCaption));
        EXPECT_EQ(box.icon, BoxIcon::Error);
        EXPECT_EQ(box.ownerAtCall, dialog.get());
    }
    void ExpectAppBox(const BoxRecord& box, std::u16string_view text) const {
        EXPECT_EQ(box.text, ToQString(text));
        EXPECT_EQ(box.caption, "Corvix");
        EXPECT_EQ(box.icon, BoxIcon::Warning);
        EXPECT_EQ(box.ownerAtCall, dialog.get());
    }
    void ChooseInterval(const QString& text) {
        DropDownCombo* list = IntervalList();
        const int index = list->findText(text);
        ASSERT_GE(index, 0);
        // As a person picks it from the list.
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    std::string history;
};

struct FilterCase {
    int radioId;
    int filterKind;
    const char* interval;
};

class PredictEachFilter : public PredictCommand,
                          public ::testing::WithParamInterface<FilterCase> {};

TEST_P(PredictEachFilter, ShowsTheCoresForecastForTheChosenFile) {
    const FilterCase& c = GetParam();
    ChooseFile(history);
    EXPECT_EQ(DrawNumberEdit()->text(), "301");  // proposed by the select-file command
    Click(c.radioId);
    ChooseInterval(c.interval);

    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectStartNotice(boxes[0]);

    const PredictOutcome expected =
        Expected(history, 301, QString(c.interval).toUInt(), c.filterKind);
    ASSERT_EQ(expected.status, PredictStatus::Ok);
    EXPECT_EQ(Result()->Text(), QString::fromStdU16String(expected.text));
    EXPECT_TRUE(Result()->Text().startsWith(ToQString(u"予測回号: 第301回")));
}

INSTANTIATE_TEST_SUITE_P(Filters, PredictEachFilter,
                         ::testing::Values(FilterCase{id::kFilterLpf, 0, "15"},
                                           FilterCase{id::kFilterBpf, 1, "10"},
                                           FilterCase{id::kFilterNone, 2, "30"}));

TEST_F(PredictCommand, TheSampleHistoryForecastsAsTheCoreDoes) {
    const std::string sample = SampleHistoryPath();
    if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no sample history";
    ChooseFile(sample);
    Predict();
    const int draw = DrawNumberEdit()->text().toInt();
    EXPECT_GT(draw, 1);
    const PredictOutcome expected = Expected(sample, draw, 15, 0);
    ASSERT_EQ(expected.status, PredictStatus::Ok);
    EXPECT_EQ(Result()->Text(), QString::fromStdU16String(expected.text));
}

TEST_F(PredictCommand, TheStartNoticeComesWithAnEmptyResultAreaAndAFreshDateLine) {
    ChooseFile(history);
    Predict();
    ASSERT_FALSE(Result()->Text().isEmpty());
    Item<QLabel>(id::kDateLine)->setText("stale");
    QString resultDuringNotice = "unset";
    QString dateDuringNotice;
    services.onBox = [&](const BoxRecord&) {
        resultDuringNotice = Result()->Text();
        dateDuringNotice = Item<QLabel>(id::kDateLine)->text();
    };
    Predict();
    EXPECT_TRUE(resultDuringNotice.isEmpty());
    EXPECT_NE(dateDuringNotice, "stale");
}

TEST_F(PredictCommand, ResultFontIsMadeTwentyFourUnitsHighAndReplacedOnTheNextPress) {
    ChooseFile(history);
    const QFont dialogFont = Result()->TextFont();
    Predict();
    ASSERT_TRUE(dialog->ResultFont().has_value());
    const QFont first = *dialog->ResultFont();
    EXPECT_EQ(Result()->TextFont(), first);
    EXPECT_LE(QFontMetrics(first).height(), 24);
    EXPECT_GE(QFontMetrics(first).height(), 20);
    EXPECT_EQ(first.family(), dialogFont.family());  // only the height changes
    EXPECT_EQ(first.bold(), dialogFont.bold());

    // The second press starts from the first result font and ends the same
    // size: the font does not grow from press to press.
    Predict();
    ASSERT_TRUE(dialog->ResultFont().has_value());
    EXPECT_EQ(*dialog->ResultFont(), first);
    EXPECT_EQ(Result()->TextFont(), first);
    EXPECT_EQ(QFontMetrics(Result()->TextFont()).height(), QFontMetrics(first).height());
}

TEST_F(PredictCommand, TheWholeForecastCanBeScrolledIntoView) {
    ChooseFile(history);
    Predict();
    QApplication::processEvents();
    // The area keeps its rectangle; the text is taller and scrolls.
    QScrollBar* bar = Result()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(Result()->Text().contains(ToQString(u"一の位：")));
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    // Scrolled to the end, the last line sits inside the visible area.
    QLabel* label = Result()->Label();
    const int labelBottomInView =
        label->mapTo(Result()->viewport(), QPoint(0, label->height())).y();
    EXPECT_LE(labelBottomInView, Result()->viewport()->height() + 1);
}

TEST_F(PredictCommand, TheKeyboardScrollsTheFocusedResultAndItsTextCanBeSelected) {
    ChooseFile(history);
    Predict();
    QApplication::processEvents();
    EXPECT_TRUE(Result()->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(Result()->Label()->textInteractionFlags() & Qt::TextSelectableByMouse);
    Result()->setFocus();
    ASSERT_TRUE(Result()->hasFocus());
    QScrollBar* bar = Result()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(Result(), Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    QTest::keyClick(Result(), Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
    QTest::keyClick(Result(), Qt::Key_PageDown);
    EXPECT_GT(bar->value(), 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Result()->toolTip().isEmpty());  // nothing to explain
}

TEST_F(PredictCommand, AnErrorPositionIsExplainedByTheTooltipOnly) {
    ChooseFile(WriteHistory("short.csv", RandomResults(3, 1)));
    Predict();
    ASSERT_TRUE(Result()->Text().contains(QStringLiteral("Error")));
    EXPECT_TRUE(Result()->toolTip().contains(QStringLiteral("履歴が短く")));
}

TEST_F(PredictCommand, EmptyDrawNumberIsDrawZero) {
    ChooseFile(history);
    DrawNumberEdit()->clear();
    Predict();
    const PredictOutcome expected = Expected(history, 0, 15, 0);
    EXPECT_EQ(Result()->Text(), QString::fromStdU16String(expected.text));
    EXPECT_TRUE(Result()->Text().startsWith(ToQString(u"予測回号: 第0回")));
}

TEST_F(PredictCommand, EmptyPathGivesTheNoPathErrorAfterTheNotice) {
    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 2u);
    ExpectStartNotice(boxes[0]);
    ExpectErrorBox(boxes[1], kMsgNoPath);
    EXPECT_TRUE(Result()->Text().isEmpty());
}

TEST_F(PredictCommand, MissingPathGivesThePathNotFoundError) {
    Item<QLineEdit>(id::kInputPath)->setText(QString::fromStdString(dir.File("missing.csv")));
    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 2u);
    ExpectStartNotice(boxes[0]);
    ExpectErrorBox(boxes[1], kMsgPathNotFound);
    EXPECT_TRUE(Result()->Text().isEmpty());
}

TEST_F(PredictCommand, UnreadableHistoryGivesTheLoadFailureAndClearsTheArea) {
    ChooseFile(history);
    Predict();
    ASSERT_FALSE(Result()->Text().isEmpty());
    // A directory exists, so it reaches the reader, which refuses it.
    Item<QLineEdit>(id::kInputPath)->setText(QString::fromStdString(dir.path()));
    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 2u);
    ExpectStartNotice(boxes[0]);
    ExpectAppBox(boxes[1], kMsgReadFailed);
    EXPECT_TRUE(Result()->Text().isEmpty());

    // A file that is not a draw history, typed into the edit.
    const std::string bad = dir.Write("bad.csv", "header\nnot a draw line\n");
    Item<QLineEdit>(id::kInputPath)->clear();
    Type(id::kInputPath, QString::fromStdString(bad));
    const std::vector<BoxRecord> again = Predict();
    ASSERT_EQ(again.size(), 2u);
    ExpectAppBox(again[1], kMsgReadFailed);
    // Its detail lists the problems as corvix-cli check does.
    EXPECT_FALSE(again[1].detail.isEmpty());
    EXPECT_EQ(again[1].detail, QString::fromStdU16String(ProblemLines(DiagnoseHistory(bad))));
}

TEST_F(PredictCommand, EditedIntervalTextMeansNoSelection) {
    ChooseFile(history);
    QLineEdit* field = IntervalList()->lineEdit();
    field->selectAll();
    QTest::keyClicks(field, "15");  // even the text of an item is not a selection
    EXPECT_EQ(IntervalList()->GetCurSel(), -1);
    const QString dateBefore = Item<QLabel>(id::kDateLine)->text();
    Item<QLabel>(id::kDateLine)->setText("stale");

    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 1u);  // no start notice
    ExpectAppBox(boxes[0], kMsgNoSelection);
    EXPECT_NE(Item<QLabel>(id::kDateLine)->text(), "stale");  // the date line was refreshed
    EXPECT_TRUE(Result()->Text().isEmpty());

    // Choosing an item from the list again makes Predict work with it.
    ChooseInterval("20");
    const std::vector<BoxRecord> next = Predict();
    ASSERT_EQ(next.size(), 1u);
    ExpectStartNotice(next[0]);
    EXPECT_EQ(Result()->Text(), QString::fromStdU16String(Expected(history, 301, 20, 0).text));
}

// Whatever is typed into the field and however the focus leaves it, 予想
// never forecasts for another interval than the one the field shows.
TEST_F(PredictCommand, TypedIntervalTextThatIsNoSelectedItemIsRefused) {
    ChooseFile(history);
    for (const char* typed : {"99", "1"}) {
        SCOPED_TRACE(typed);
        ChooseInterval("15");
        QLineEdit* field = IntervalList()->lineEdit();
        IntervalList()->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, QString::fromUtf8(typed));
        const std::vector<BoxRecord> boxes = Predict();  // the click moves the focus away
        ASSERT_EQ(boxes.size(), 1u);
        ExpectAppBox(boxes[0], kMsgNoSelection);
    }
}

TEST_F(PredictCommand, WithoutTheIntervalListItSaysSoAndShowsNoNotice) {
    ChooseFile(history);
    delete dialog->GetDlgItem(id::kInterval);
    ASSERT_EQ(dialog->GetDlgItem(id::kInterval), nullptr);
    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectAppBox(boxes[0], kMsgNoComboBox);
    EXPECT_TRUE(Result()->Text().isEmpty());
}

TEST_F(PredictCommand, FailingHandlerShowsAnErrorBoxAndTheWindowGoesOn) {
    ChooseFile(history);
    services.throwOnNextBox = true;  // the start notice itself fails
    const std::vector<BoxRecord> boxes = Predict();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectErrorBox(boxes[0], kMsgPredictFailed);
    EXPECT_TRUE(dialog->isVisible());

    // The next press works normally.
    const std::vector<BoxRecord> next = Predict();
    ASSERT_EQ(next.size(), 1u);
    ExpectStartNotice(next[0]);
    EXPECT_FALSE(Result()->Text().isEmpty());
}

}  // namespace
}  // namespace corvalith::testing
