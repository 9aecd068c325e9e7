// A shown main dialog with the recording services, and the steps a person
// takes with it: clicking, typing, pasting, choosing a file, pressing 予想.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "commands/predict_core.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/recording_services.h"
#include "ui/cpendula_dlg.h"

namespace corvalith {
class DrawNumberEdit;
class DropDownCombo;
class ResultArea;
class UpDownControl;
}  // namespace corvalith

namespace corvalith::testing {

// UTF-16 literal to QString.

// `count` pseudo-random four-digit results (fixed seed).
std::vector<std::string> RandomResults(std::size_t count, unsigned seed);

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T>
    T* Item(int id) const {
        auto* item = qobject_cast<T*>(dialog->GetDlgItem(id));
        EXPECT_NE(item, nullptr) << "control " << id;
        return item;
    }
    QLineEdit* DrawNumberEdit() const;
    DropDownCombo* IntervalList() const;
    ResultArea* Result() const;
    UpDownControl* Spin() const;

    void Click(int id);
    // Types `text` into edit `id` (focus first), key by key.
    void Type(int id, const QString& text);
    // Pastes `text` through the clipboard into edit `id` with Ctrl+V.
    void Paste(int id, const QString& text);
    // Picks `path` in the file dialog of 選択.
    void ChooseFile(const QString& path);
    void ChooseFile(const std::string& path) { ChooseFile(QString::fromStdString(path)); }
    // Writes a history of `results` into the scratch directory; returns its path.
    std::string WriteHistory(const std::string& name, const std::vector<std::string>& results,
                             int first = 1);
    // Presses 予想 and returns the boxes it showed.
    std::vector<BoxRecord> Predict();
    // What RunPredict gives for the window's current settings.
    PredictOutcome Expected(const std::string& path, int drawNumber, unsigned interval,
                            int filterKind) const;

    TempDir dir;
    RecordingServices services;
    std::unique_ptr<CPendulaDlg> dialog;
};

}  // namespace corvalith::testing
