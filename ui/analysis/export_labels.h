// The labels of the analysis window's pictures: the title line names the
// history file, the setting and the draw number, then what the picture
// shows; the caption says what the tab's lines and bars mean.
#pragma once

#include <QString>

#include "commands/analysis_inputs.h"
#include "ui/analysis/chart_export.h"

namespace corvalith {

// "名前.csv　フィルタ LPF、間隔 20、FFT 先頭　第6501回の予想": the file's name
// (without its folder), the setting as it runs, the draw the forecast is for.
[[nodiscard]] QString InputsLine(const AnalysisInputs& inputs);

// The title `InputsLine　what` and the tab's caption `legend`.
[[nodiscard]] ExportLabels PictureLabels(const AnalysisInputs& inputs, const QString& what,
                                         const QString& legend);

}  // namespace corvalith
