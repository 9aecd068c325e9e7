// Qt implementation of the window services.
#include "app/qt_window_services.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <utility>

namespace corvalith {
namespace {

QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Error:
            return QMessageBox::Critical;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Windows patterns to Qt's: "*.*" there matches every name.
QString QtPattern(const QString& pattern) {
    QStringList parts = pattern.split(u';', Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = part.trimmed();
        if (part == QLatin1String("*.*")) part = QStringLiteral("*");
    }
    return parts.join(u' ');
}

// Qt's own file dialog stores its state (the folders visited, the last
// folder, the view) in the user's QtProject.conf when it is destroyed, and
// nothing turns that off. The program keeps no settings and writes nothing
// but its lock and the socket beside it, so the user-scope settings of the
// process point at a place under which no file can be made: the dialog
// starts from its defaults and remembers the last folder for this run only.
void KeepNoSettingsOnDisk() {
    static const bool done = [] {
        const QString nowhere = QStringLiteral("/dev/null");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
        return true;
    }();
    (void)done;
}

}  // namespace

QtWindowServices::QtWindowServices() : QtWindowServices(std::string(kSharedTempDir)) {}
QtWindowServices::QtWindowServices(std::string lockTempDir)
    : m_lockTempDir(std::move(lockTempDir)) {}
QtWindowServices::~QtWindowServices() = default;

void QtWindowServices::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                  BoxIcon icon) {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtWindowServices::DetailedMessageBox(QWidget* owner, const QString& text,
                                          const QString& caption, BoxIcon icon,
                                          const QString& detail) {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(detail);
    box.exec();
}

bool QtWindowServices::AskYesNo(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    return box.exec() == QMessageBox::Yes;
}

void ConfigureOpenFileDialog(QFileDialog& dialog, const FileFilter& filter) {
    KeepNoSettingsOnDisk();
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Any name may be typed; the command itself checks that it exists.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    // Qt's own dialog shows the entry's text exactly, without Qt's pattern
    // suffix, and applies the pattern Qt's way.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QString entry =
        filter.description + QStringLiteral(" (") + QtPattern(filter.pattern) + QStringLiteral(")");
    dialog.setNameFilters({entry});
    dialog.selectNameFilter(entry);
}

std::optional<QString> QtWindowServices::GetOpenFileName(QWidget* owner, const FileFilter& filter) {
    QFileDialog dialog(owner);
    ConfigureOpenFileDialog(dialog, filter);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

namespace {

// Qt's save dialog; `confirmReplace` false leaves the question about an
// existing name to the caller.
std::optional<QString> RunSaveDialog(QWidget* owner, const QString& caption,
                                     const FileFilter& filter, const QString& suggestedName,
                                     bool confirmReplace) {
    KeepNoSettingsOnDisk();
    QFileDialog dialog(owner, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmReplace);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters(
        {filter.description + QStringLiteral(" (") + filter.pattern + QStringLiteral(")")});
    dialog.setDefaultSuffix(filter.pattern.section(QLatin1Char('.'), -1));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.front();
}

}  // namespace

std::optional<QString> QtWindowServices::GetSaveFileName(QWidget* owner, const QString& caption,
                                                         const FileFilter& filter,
                                                         const QString& suggestedName) {
    return RunSaveDialog(owner, caption, filter, suggestedName, true);
}

std::optional<QString> QtWindowServices::GetNewFileName(QWidget* owner, const QString& caption,
                                                        const FileFilter& filter,
                                                        const QString& suggestedName) {
    return RunSaveDialog(owner, caption, filter, suggestedName, false);
}

int QtWindowServices::RunModal(QDialog& dialog) { return dialog.exec(); }

LockState QtWindowServices::AcquireInstanceLock(std::string_view name) {
    m_lock = std::make_unique<InstanceLock>(name, m_lockTempDir);
    return m_lock->state();
}

void QtWindowServices::ReleaseInstanceLock() noexcept {
    // The socket goes before the lock: a copy that takes the lock next makes
    // its own socket, which this one must not remove.
    m_raise.Close();
    m_lock.reset();
}

void QtWindowServices::ListenForRaise(std::function<void()> onRequest) {
    if (m_lock && m_lock->state() == LockState::Held) {
        (void)m_raise.Listen(RaiseSocketPath(m_lock->path()), std::move(onRequest));
    }
}

void QtWindowServices::AnswerRaiseRequests(QWidget& window) {
    ListenForRaise([target = QPointer<QWidget>(&window)] {
        if (target) BringToFront(*target);
    });
}

void QtWindowServices::AskRunningCopyToRaise() {
    if (m_lock && m_lock->state() == LockState::HeldElsewhere) {
        (void)AskToRaise(RaiseSocketPath(m_lock->path()));
    }
}

}  // namespace corvalith
