// 履歴 > 最新の結果を取得: after the same checks of the chosen history as 予想,
// the update dialog; afterwards 予想回号 follows the history's new end.
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
    {
        UpdateDialog dialog(m_services, path, this);
        m_services.RunModal(dialog);
    }
    const HistoryCheck after = CheckChosenHistory(path);
    if (after.status == PredictStatus::Ok && after.nextDraw) {
        m_drawNumberEdit->setText(QString::number(*after.nextDraw));
    }
}
