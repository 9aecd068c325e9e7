// 履歴 > 最新の結果を取得: after the same checks of the chosen history as 予想,
// the update dialog; each import it writes is said as the other history
// dialogs' writes are (予想回号 follows, historyWritten).
#include "commands/select_file_core.h"
#include "text/file_system_path.h"
#include "ui/cpendula_dlg.h"
#include "ui/draw_number_edit.h"
#include "ui/failure_box.h"
#include "ui/update_dialog.h"

using namespace corvalith;

void CPendulaDlg::OnHistoryUpdate() {
    DoDataExchange(true);
    const std::string path = PathToFileSystem(m_inputPath.toStdU16String());
    const HistoryCheck check = CheckChosenHistory(path);
    if (check.status != PredictStatus::Ok) {
        ShowFailureBox(m_services, this, check.status);
        return;
    }
    UpdateDialog dialog(m_services, path, this);
    connect(&dialog, &UpdateDialog::Written, this, &CPendulaDlg::OnHistoryWritten);
    m_historyDialog = &dialog;
    m_services.RunModal(dialog);
}
