// The 履歴 menu's commands: a new history (save-file dialog, then init), and
// the dialogs that add and import results into the dialog's history, after
// the same checks of the chosen history as 予想. The analysis window's cache
// is keyed by the file's state, so a changed history is computed afresh.
#include <QLineEdit>

#include "commands/history_edit.h"
#include "commands/messages.h"
#include "commands/select_file_core.h"
#include "text/file_system_path.h"
#include "ui/cpendula_dlg.h"
#include "ui/draw_number_edit.h"
#include "ui/failure_box.h"
#include "ui/history_dialogs.h"
#include "ui/qt_text.h"
#include "ui/resource.h"

using namespace corvalith;

void CPendulaDlg::OnHistoryNew() {
    const std::optional<QString> chosen = m_services.GetSaveFileName(
        this, QStringLiteral("新規作成"),
        FileFilter{QStringLiteral("CSV"), QStringLiteral("*.csv")}, QStringLiteral("history.csv"));
    if (!chosen) return;
    const EditOutcome outcome = InitHistory(PathToFileSystem(chosen->toStdU16String()));
    if (outcome.status != EditStatus::Ok) {
        m_services.MessageBox(this, ToQString(outcome.message), ToQString(kErrorCaption),
                              BoxIcon::Error);
        return;
    }
    m_inputPath = *chosen;
    if (auto* inputPath = qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath))) {
        inputPath->setText(m_inputPath);
    }
}

void CPendulaDlg::OnHistoryAdd() { OpenHistoryDialog(false); }
void CPendulaDlg::OnHistoryImport() { OpenHistoryDialog(true); }

void CPendulaDlg::OpenHistoryDialog(bool import) {
    DoDataExchange(true);
    const std::string path = PathToFileSystem(m_inputPath.toStdU16String());
    const HistoryCheck check = CheckChosenHistory(path);
    if (check.status != PredictStatus::Ok) {
        ShowFailureBox(m_services, this, check.status);
        return;
    }
    if (import) {
        ImportDialog dialog(m_services, path, this);
        m_historyDialog = &dialog;
        m_services.RunModal(dialog);
    } else {
        AddResultDialog dialog(m_services, path, this);
        m_historyDialog = &dialog;
        m_services.RunModal(dialog);
    }
    // The draw to forecast follows the history's new end.
    const HistoryCheck after = CheckChosenHistory(path);
    if (after.status == PredictStatus::Ok && after.nextDraw) {
        m_drawNumberEdit->setText(QString::number(*after.nextDraw));
    }
}
