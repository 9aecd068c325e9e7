// The dialog fixture's steps.
#include "tests/ui/dialog_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <random>

#include "app/about_dlg.h"
#include "tests/support/history_files.h"
#include "ui/dialog_template.h"
#include "ui/draw_number_edit.h"
#include "ui/drop_down_combo.h"
#include "ui/result_area.h"
#include "ui/up_down_control.h"

namespace corvalith::testing {

std::vector<std::string> RandomResults(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> digit(0, 9);
    std::vector<std::string> results;
    for (std::size_t i = 0; i < count; ++i) {
        std::string result;
        for (int d = 0; d < 4; ++d) result.push_back(static_cast<char>('0' + digit(random)));
        results.push_back(result);
    }
    return results;
}

void DialogTest::SetUp() {
    dialog =
        std::make_unique<CPendulaDlg>(services, [](QWidget* owner) -> std::unique_ptr<QDialog> {
            return std::make_unique<CAboutDlg>(owner);
        });
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
}

void DialogTest::TearDown() { dialog.reset(); }

QLineEdit* DialogTest::DrawNumberEdit() const { return Item<QLineEdit>(id::kDrawNumber); }
DropDownCombo* DialogTest::IntervalList() const { return Item<DropDownCombo>(id::kInterval); }
ResultArea* DialogTest::Result() const { return Item<ResultArea>(id::kResult); }
UpDownControl* DialogTest::Spin() const { return Item<UpDownControl>(id::kSpin); }

void DialogTest::Click(int id) { QTest::mouseClick(Item<QAbstractButton>(id), Qt::LeftButton); }

void DialogTest::Type(int id, const QString& text) {
    QWidget* edit = dialog->GetDlgItem(id);
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

void DialogTest::Paste(int id, const QString& text) {
    QApplication::clipboard()->setText(text);
    QWidget* edit = dialog->GetDlgItem(id);
    edit->setFocus();
    QTest::keySequence(edit, QKeySequence::Paste);
}

void DialogTest::ChooseFile(const QString& path) {
    services.AnswerFileDialog(path);
    Click(id::kSelect);
}

std::string DialogTest::WriteHistory(const std::string& name,
                                     const std::vector<std::string>& results, int first) {
    return dir.Write(name, MakeHistory(results, first));
}

std::vector<BoxRecord> DialogTest::Predict() {
    const std::size_t before = services.boxes.size();
    Click(id::kPredict);
    return {services.boxes.begin() + static_cast<std::ptrdiff_t>(before), services.boxes.end()};
}

PredictOutcome DialogTest::Expected(const std::string& path, int drawNumber, unsigned interval,
                                    int filterKind) const {
    PredictRequest request;
    request.historyPath = QString::fromStdString(path).toStdU16String();
    request.drawNumber = drawNumber;
    request.interval = interval;
    request.filterKind = filterKind;
    request.fftFlag = 0;
    return RunPredict(request);
}

}  // namespace corvalith::testing
