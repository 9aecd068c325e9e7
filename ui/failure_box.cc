// The status-to-box table over the command's message table.
#include "ui/failure_box.h"

#include <QString>

#include "commands/messages.h"
#include "ui/qt_text.h"

namespace corvalith {

FailureBox FailureBoxFor(PredictStatus status) {
    const QString text = ToQString(FailureMessage(status));
    if (status == PredictStatus::ReadFailed) {
        return {text, QString::fromUtf16(kApplicationName), BoxIcon::Warning};
    }
    return {text, ToQString(kErrorCaption), BoxIcon::Error};
}

void ShowFailureBox(WindowServices& services, QWidget* owner, PredictStatus status) {
    const FailureBox box = FailureBoxFor(status);
    services.MessageBox(owner, box.text, box.caption, box.icon);
}

}  // namespace corvalith
