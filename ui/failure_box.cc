// The status-to-box table over the command's message table.
#include "ui/failure_box.h"

#include <QString>

#include "commands/messages.h"
#include "history/history_check.h"
#include "ui/qt_text.h"

namespace corvalith {

FailureBox FailureBoxFor(PredictStatus status, const std::string& path) {
    const QString text = ToQString(FailureMessage(status));
    if (status == PredictStatus::ReadFailed) {
        FailureBox box{text, QString::fromUtf16(kApplicationName), BoxIcon::Warning, {}};
        if (!path.empty()) {
            const HistoryDiagnosis diagnosis = DiagnoseHistory(path);
            if (!diagnosis.Loads()) box.detail = QString::fromStdU16String(ProblemLines(diagnosis));
        }
        return box;
    }
    return {text, ToQString(kErrorCaption), BoxIcon::Error, {}};
}

void ShowFailureBox(WindowServices& services, QWidget* owner, PredictStatus status,
                    const std::string& path) {
    const FailureBox box = FailureBoxFor(status, path);
    if (box.detail.isEmpty()) {
        services.MessageBox(owner, box.text, box.caption, box.icon);
    } else {
        services.DetailedMessageBox(owner, box.text, box.caption, box.icon, box.detail);
    }
}

}  // namespace corvalith
