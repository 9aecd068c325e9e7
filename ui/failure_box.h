// How the window reports a command that failed: one box per status, the
// same for the Predict and the select-file command.
#pragma once

#include <QString>

#include "commands/predict_core.h"
#include "ui/window_services.h"

namespace corvalith {

struct FailureBox {
    QString text;
    QString caption;
    BoxIcon icon = BoxIcon::Error;
};

// An unreadable history is reported in the application box (the application's
// name and the warning icon), every other failure in an error box captioned
// "エラー". `status` must not be Ok.
[[nodiscard]] FailureBox FailureBoxFor(PredictStatus status);

// Shows FailureBoxFor(status), owned by `owner`.
void ShowFailureBox(WindowServices& services, QWidget* owner, PredictStatus status);

}  // namespace corvalith
