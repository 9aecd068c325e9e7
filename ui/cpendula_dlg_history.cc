// The 履歴 menu's commands: a new history (new-file dialog, then init), and
// the dialogs that add and import results into the dialog's history, after
// the same checks of the chosen history as 予想. Every write runs on a worker
// thread; after each one that changed the file the dialog proposes the draw
// after its new end and says so through historyWritten, so that whatever
// shows the history (the analysis window's cache is keyed by the file's
// state) can follow.
#include <sys/stat.h>

#include <QAction>
#include <QLineEdit>

#include "commands/history_edit.h"
#include "commands/history_messages.h"
#include "commands/messages.h"
#include "commands/select_file_core.h"
#include "text/file_system_path.h"
#include "ui/background_task.h"
#include "ui/cpendula_dlg.h"
#include "ui/draw_number_edit.h"
#include "ui/failure_box.h"
#include "ui/history_dialogs.h"
#include "ui/qt_text.h"
#include "ui/resource.h"
#include "ui/result_area.h"

using namespace corvalith;

void CPendulaDlg::SetHistoryCommandsEnabled(bool enabled) {
    for (const int command : {id::kHistoryNew, id::kHistoryAdd, id::kHistoryImport}) {
        if (QAction* action = MenuCommand(command)) action->setEnabled(enabled);
    }
}

void CPendulaDlg::OnHistoryNew() {
    const std::optional<QString> chosen = m_services.GetNewFileName(
        this, QStringLiteral("新規作成"),
        FileFilter{QStringLiteral("CSV"), QStringLiteral("*.csv")}, QStringLiteral("history.csv"));
    if (!chosen) return;
    const std::string path = PathToFileSystem(chosen->toStdU16String());
    // A taken name is said at once; nothing else is asked or written.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        m_services.MessageBox(this, ToQString(ExistsMessage(chosen->toStdU16String())),
                              ToQString(kErrorCaption), BoxIcon::Error);
        return;
    }
    ++m_writesRunning;
    SetHistoryCommandsEnabled(false);
    EditOutcome noWorker;
    noWorker.message = u"書き込みを始められませんでした（作業用のスレッドを作れません）。";
    RunInBackground<EditOutcome>(
        this, [path] { return InitHistory(path); },
        [this, shown = *chosen](const EditOutcome& outcome) {
            --m_writesRunning;
            SetHistoryCommandsEnabled(true);
            if (outcome.status != EditStatus::Ok) {
                m_services.MessageBox(this, ToQString(outcome.message), ToQString(kErrorCaption),
                                      BoxIcon::Error);
                return;
            }
            m_inputPath = shown;
            if (auto* inputPath = qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath))) {
                inputPath->setText(m_inputPath);
            }
            // A new history has no draws: the first one is proposed, and the
            // forecast of the file before is no longer shown.
            m_drawNumberEdit->setText(QStringLiteral("1"));
            m_resultText->SetText(QString());
            emit historyWritten(m_inputPath);
        },
        std::move(noWorker));
}

void CPendulaDlg::OnHistoryAdd() { OpenHistoryDialog(false); }
void CPendulaDlg::OnHistoryImport() { OpenHistoryDialog(true); }

void CPendulaDlg::FollowHistory() {
    const HistoryCheck check = CheckChosenHistory(PathToFileSystem(m_inputPath.toStdU16String()));
    if (check.status == PredictStatus::Ok && check.nextDraw) {
        m_drawNumberEdit->setText(QString::number(*check.nextDraw));
    }
}

void CPendulaDlg::OnHistoryWritten() {
    // The draw to forecast follows the history's new end.
    FollowHistory();
    emit historyWritten(m_inputPath);
}

void CPendulaDlg::OpenHistoryDialog(bool import) {
    DoDataExchange(true);
    const std::string path = PathToFileSystem(m_inputPath.toStdU16String());
    const HistoryCheck check = CheckChosenHistory(path);
    if (check.status != PredictStatus::Ok) {
        ShowFailureBox(m_services, this, check.status, path);
        return;
    }
    if (import) {
        ImportDialog dialog(m_services, path, this);
        connect(&dialog, &ImportDialog::Written, this, &CPendulaDlg::OnHistoryWritten);
        m_historyDialog = &dialog;
        m_services.RunModal(dialog);
    } else {
        AddResultDialog dialog(m_services, path, this);
        connect(&dialog, &AddResultDialog::Written, this, &CPendulaDlg::OnHistoryWritten);
        m_historyDialog = &dialog;
        m_services.RunModal(dialog);
    }
}
