// How the window reports a command that failed: one box per status, the
// same for the Predict and the select-file command.
#pragma once

#include <QString>
#include <string>

#include "commands/predict_core.h"
#include "ui/window_services.h"

namespace corvalith {

struct FailureBox {
    QString text;
    QString caption;
    BoxIcon icon = BoxIcon::Error;
    QString detail;  // the problems of a history that does not load (empty: none)
};

// An unreadable history is reported in the application box (the application's
// name and the warning icon), every other failure in an error box captioned
// "エラー". `status` must not be Ok. For an unreadable history at `path`
// (file-system bytes; empty: not known) the detail lists its problems as
// corvix-cli check does.
[[nodiscard]] FailureBox FailureBoxFor(PredictStatus status, const std::string& path = {});

// Shows FailureBoxFor(status, path), owned by `owner`, with its detail when
// it has one.
void ShowFailureBox(WindowServices& services, QWidget* owner, PredictStatus status,
                    const std::string& path = {});

}  // namespace corvalith
