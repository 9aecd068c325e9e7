// The 分析 menu's commands: the dialog's history, filter, interval and draw
// number go to the analysis window, after the same checks of the chosen
// history as 予想 (a failure shows the same box and opens nothing).
#include <QLineEdit>

#include "commands/select_file_core.h"
#include "history/draw_number.h"
#include "text/file_system_path.h"
#include "ui/analysis/analysis_window.h"
#include "ui/cpendula_dlg.h"
#include "ui/dialog_modes.h"
#include "ui/draw_number_edit.h"
#include "ui/failure_box.h"
#include "ui/qt_text.h"

using namespace corvalith;

AnalysisWindow* CPendulaDlg::Analysis() const noexcept { return m_analysis.data(); }

bool CPendulaDlg::HoldsWork() const {
    if (m_historyDialog || m_writesRunning > 0) return true;
    if (!m_analysis || !m_analysis->isVisible()) return false;
    if (m_analysis->Cache().size() > 0) return true;
    for (int t = 0; t < kAnalysisTabCount; ++t) {
        if (m_analysis->IsRunning(static_cast<AnalysisTab>(t))) return true;
    }
    return false;
}

void CPendulaDlg::OnAnalysisDetail() { OpenAnalysis(static_cast<int>(AnalysisTab::Detail)); }
void CPendulaDlg::OnAnalysisVerify() { OpenAnalysis(static_cast<int>(AnalysisTab::Verify)); }
void CPendulaDlg::OnAnalysisSweep() { OpenAnalysis(static_cast<int>(AnalysisTab::Sweep)); }
void CPendulaDlg::OnAnalysisRandomness() {
    OpenAnalysis(static_cast<int>(AnalysisTab::Randomness));
}

void CPendulaDlg::OnAnalysisTickets() { OpenAnalysis(static_cast<int>(AnalysisTab::Tickets)); }

void CPendulaDlg::OpenAnalysis(int tab) {
    DoDataExchange(true);
    const std::optional<std::int32_t> interval = SelectedInterval();
    if (!interval) return;
    AnalysisInputs inputs;
    inputs.path = PathToFileSystem(m_inputPath.toStdU16String());
    const HistoryCheck check = CheckChosenHistory(inputs.path);
    if (check.status != PredictStatus::Ok) {
        ShowFailureBox(m_services, this, check.status, inputs.path);
        return;
    }
    inputs.interval = static_cast<std::uint32_t>(*interval);
    if (m_filterKind >= 0 && m_filterKind < 3) inputs.filter = kFilterRadios[m_filterKind].kind;
    if (m_fftFlag >= 0 && m_fftFlag < 4) inputs.fft = kFftRadios[m_fftFlag].placement;
    inputs.fft = EffectivePlacement(inputs.filter, inputs.fft);
    inputs.drawNumber = LeadingInt(ToU16View(m_drawNumberEdit->text()));
    if (!m_analysis) {
        m_analysis = new AnalysisWindow(m_services, m_analysisSession, this);
        connect(this, &CPendulaDlg::historyWritten, m_analysis, &AnalysisWindow::HistoryWritten);
    }
    m_analysis->Open(inputs, static_cast<AnalysisTab>(tab));
}
