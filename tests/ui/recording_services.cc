// The recording window-services double.
#include "tests/ui/recording_services.h"

#include <QDialog>
#include <stdexcept>

namespace corvalith::testing {

void RecordingServices::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                   BoxIcon icon) {
    if (throwOnNextBox) {
        throwOnNextBox = false;
        throw std::runtime_error("message box failed");
    }
    boxes.push_back(BoxRecord{owner, owner, text, caption, icon, {}});
    if (onBox) onBox(boxes.back());
}

void RecordingServices::DetailedMessageBox(QWidget* owner, const QString& text,
                                           const QString& caption, BoxIcon icon,
                                           const QString& detail) {
    MessageBox(owner, text, caption, icon);
    boxes.back().detail = detail;
}

bool RecordingServices::AskYesNo(QWidget* owner, const QString& text, const QString& caption) {
    questions.push_back(BoxRecord{owner, owner, text, caption, BoxIcon::None, {}});
    if (questionAnswers.empty()) return false;
    const bool yes = questionAnswers.front();
    questionAnswers.pop_front();
    return yes;
}

std::optional<QString> RecordingServices::GetOpenFileName(QWidget* owner,
                                                          const FileFilter& filter) {
    if (throwOnNextFileDialog) {
        throwOnNextFileDialog = false;
        throw std::runtime_error("file dialog failed");
    }
    fileDialogs.push_back(FileDialogRecord{owner, filter});
    if (fileAnswers.empty()) return std::nullopt;
    const bool chosen = fileAnswers.front().has_value();
    const QString path = chosen ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return path;
}

std::optional<QString> RecordingServices::GetSaveFileName(QWidget* owner, const QString&,
                                                          const FileFilter& filter,
                                                          const QString&) {
    saveDialogs.push_back(FileDialogRecord{owner, filter});
    if (saveAnswers.empty()) return std::nullopt;
    const bool chosen = saveAnswers.front().has_value();
    const QString path = chosen ? *saveAnswers.front() : QString();
    saveAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return path;
}

std::optional<QString> RecordingServices::GetNewFileName(QWidget* owner, const QString& caption,
                                                         const FileFilter& filter,
                                                         const QString& suggestedName) {
    newFileDialogs.push_back(FileDialogRecord{owner, filter});
    return GetSaveFileName(owner, caption, filter, suggestedName);
}

int RecordingServices::RunModal(QDialog& dialog) {
    modalRuns.push_back(QString::fromLatin1(dialog.metaObject()->className()));
    return onModal ? onModal(dialog) : 0;
}

LockState RecordingServices::AcquireInstanceLock(std::string_view name) {
    lockNames.emplace_back(name);
    return lockAnswer;
}

}  // namespace corvalith::testing
