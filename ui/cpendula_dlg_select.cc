// The select-file command: pick a history file, show its path, check that it
// reads as a draw history, and propose the draw after its highest number.
#include <QFile>
#include <QLineEdit>
#include <string>

#include "commands/select_file_core.h"
#include "text/file_system_path.h"
#include "ui/cpendula_dlg.h"
#include "ui/dialog_template.h"
#include "ui/draw_number_edit.h"
#include "ui/failure_box.h"
#include "ui/qt_text.h"
#include "ui/resource.h"

using namespace corvalith;

namespace {

// True when `text` holds a surrogate without its partner, as the lossless
// form of a name with bytes that are not UTF-8 does.
bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

// The chosen path as the window shows it: the name's own bytes through the
// lossless decoding, so any name survives the way to the core and back. A
// path already in that form is taken as it is (Qt's encoder would replace
// its escapes).
QString ShownPath(const QString& chosen) {
    if (HasLoneSurrogate(chosen)) return chosen;
    const QByteArray bytes = QFile::encodeName(chosen);
    const std::u16string text = PathFromFileSystem(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QString::fromStdU16String(text);
}

}  // namespace

void CPendulaDlg::OnInputPathEdited() {
    // A path typed by hand proposes its draw as a chosen one does, once per
    // new path and without a box: the user may still be typing it.
    auto* inputPath = qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath));
    if (!inputPath || inputPath->text() == m_followedPath) return;
    m_followedPath = inputPath->text();
    m_inputPath = m_followedPath;
    FollowHistory();
}

void CPendulaDlg::OnSelectFile() {
    // The file dialog; cancelling changes nothing.
    const std::optional<QString> chosen = m_services.GetOpenFileName(
        this, FileFilter{ToQString(kAllFilesFilter), ToQString(kAllFilesPattern)});
    if (!chosen) return;

    // The path into the member and the id::kInputPath edit.
    m_inputPath = ShownPath(*chosen);
    if (auto* inputPath = qobject_cast<QLineEdit*>(GetDlgItem(id::kInputPath))) {
        inputPath->setText(m_inputPath);
    }

    // Something must exist there, it must read as a draw history, and the
    // draw after its highest number is proposed, written as it is (also 10000).
    const HistoryCheck check = CheckChosenHistory(PathToFileSystem(m_inputPath.toStdU16String()));
    m_followedPath = m_inputPath;
    if (check.status == PredictStatus::Ok) {
        if (check.nextDraw) m_drawNumberEdit->setText(QString::number(*check.nextDraw));
        return;
    }
    // A chosen name is never empty; should the dialog hand back none, it is
    // reported as the path that does not exist.
    ShowFailureBox(
        m_services, this,
        check.status == PredictStatus::NoPath ? PredictStatus::PathNotFound : check.status,
        PathToFileSystem(m_inputPath.toStdU16String()));
}
