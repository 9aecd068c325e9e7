// The setting is named as the window's header names it; the file by its
// name alone, because a picture travels without the folder it came from.
#include "ui/analysis/export_labels.h"

#include <QFileInfo>

#include "commands/analysis_results.h"
#include "text/file_system_path.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/qt_text.h"

namespace corvalith {

QString InputsLine(const AnalysisInputs& inputs) {
    const QString file = QFileInfo(ToQString(PathFromFileSystem(inputs.path))).fileName();
    const QString setting = QStringLiteral("フィルタ %1、間隔 %2、FFT %3")
                                .arg(FromUtf8(std::string(NameOf(inputs.filter))))
                                .arg(inputs.interval)
                                .arg(FromUtf8(std::string(NameOf(SettingOf(inputs).fft))));
    return file + QStringLiteral("　") + setting +
           QStringLiteral("　第%1回の予想").arg(inputs.drawNumber);
}

ExportLabels PictureLabels(const AnalysisInputs& inputs, const QString& what,
                           const QString& legend) {
    return {InputsLine(inputs) + QStringLiteral("　") + what, legend};
}

}  // namespace corvalith
