// The Predict command's window side: OnPredict reads the controls and runs
// the interval checks and the start notice, the window-free core forecasts,
// and the outcome becomes a box or the result text (ShowResult).
#include <QLineEdit>
#include <optional>
#include <string>

#include "commands/messages.h"
#include "commands/predict_core.h"
#include "history/draw_number.h"
#include "predict/digit_ranking.h"
#include "text/file_system_path.h"
#include "ui/cpendula_dlg.h"
#include "ui/dialog_fonts.h"
#include "ui/dialog_template.h"
#include "ui/draw_number_edit.h"
#include "ui/drop_down_combo.h"
#include "ui/failure_box.h"
#include "ui/qt_text.h"
#include "ui/result_area.h"

using namespace corvalith;

namespace {

// Height of the result font's character cell, in pixels.
constexpr int kResultCellHeight = 24;

}  // namespace

void CPendulaDlg::OnPredict() {
    // The settings from the controls, then a fresh date line.
    DoDataExchange(true);
    ShowDateTime();

    const std::optional<std::int32_t> interval = SelectedInterval();
    if (!interval) return;

    // An empty result area and the start notice.
    m_resultText->SetText(QString());
    m_services.MessageBox(this, ToQString(kMsgStartNotice), QString::fromUtf16(kApplicationName),
                          BoxIcon::None);

    // The forecast.
    PredictRequest request;
    request.historyPath = m_inputPath.toStdU16String();
    request.drawNumber = LeadingInt(ToU16View(m_drawNumberEdit->text()));
    request.interval = static_cast<std::uint32_t>(*interval);
    request.filterKind = m_filterKind;
    request.fftFlag = m_fftFlag;
    const PredictOutcome outcome = RunPredict(request);

    // The outcome.
    if (outcome.status == PredictStatus::Ok) {
        ShowResult(QString::fromStdU16String(outcome.text));
    } else {
        ShowFailureBox(m_services, this, outcome.status,
                       PathToFileSystem(m_inputPath.toStdU16String()));
    }
}

std::optional<std::int32_t> CPendulaDlg::SelectedInterval() {
    // The selected item of the list, never typed text.
    auto* intervalList = qobject_cast<DropDownCombo*>(GetDlgItem(id::kInterval));
    if (!intervalList) {
        m_services.AppMessageBox(this, ToQString(kMsgNoComboBox));
        return std::nullopt;
    }
    const int selected = intervalList->GetCurSel();
    if (selected < 0) {
        m_services.AppMessageBox(this, ToQString(kMsgNoSelection));
        return std::nullopt;
    }
    return LeadingInt(ToU16View(intervalList->GetLBText(selected)));
}

void CPendulaDlg::ShowResult(const QString& text) {
    m_resultText->SetText(text);
    // "Error" in place of a ranking stays as it is; the pointer tells why.
    m_resultText->setToolTip(
        text.contains(QString::fromLatin1(kResultError))
            ? QStringLiteral("Error: 履歴が短く、選んだ間隔ではこの桁の周期を数えられません。"
                             "回数の多い履歴か短い間隔を選んでください。")
            : QString());
    // The area's current font (the dialog font at first, later the previous
    // result font) with a 24-pixel cell; the new font replaces the old one.
    m_resultFont = WithCellHeight(m_resultText->TextFont(), kResultCellHeight);
    m_resultText->SetTextFont(*m_resultFont);
}
