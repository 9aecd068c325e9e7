// The window-services test double: records every box (owner, text, caption,
// icon) and every modal run, answers the file dialog from a queue, and lets a
// test look at the window while a box or dialog is "open".
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/window_services.h"

namespace corvalith::testing {

struct BoxRecord {
    QPointer<QWidget> owner;
    QWidget* ownerAtCall = nullptr;  // the owner pointer as passed (null: no owner)
    QString text;
    QString caption;
    BoxIcon icon = BoxIcon::None;
    QString detail;  // the detailed text (empty: none)
};

struct FileDialogRecord {
    QWidget* owner = nullptr;
    FileFilter filter;
};

class RecordingServices final : public WindowServices {
  public:
    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    BoxIcon icon) override;
    void DetailedMessageBox(QWidget* owner, const QString& text, const QString& caption,
                            BoxIcon icon, const QString& detail) override;
    bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override;
    std::optional<QString> GetOpenFileName(QWidget* owner, const FileFilter& filter) override;
    std::optional<QString> GetSaveFileName(QWidget* owner, const QString& caption,
                                           const FileFilter& filter,
                                           const QString& suggestedName) override;
    std::optional<QString> GetNewFileName(QWidget* owner, const QString& caption,
                                          const FileFilter& filter,
                                          const QString& suggestedName) override;
    int RunModal(QDialog& dialog) override;
    LockState AcquireInstanceLock(std::string_view name) override;
    void ReleaseInstanceLock() noexcept override { lockReleased = true; }

    // Queues the answer of the next file dialog (nothing: the user cancels).
    void AnswerFileDialog(std::optional<QString> path) { fileAnswers.push_back(std::move(path)); }

    // Queues the answer of the next save-file dialog (nothing: cancel).
    void AnswerSaveDialog(std::optional<QString> path) { saveAnswers.push_back(std::move(path)); }

    // Queues the answer of the next yes-or-no question (empty queue: いいえ).
    void AnswerQuestion(bool yes) { questionAnswers.push_back(yes); }

    std::vector<BoxRecord> boxes;
    std::vector<BoxRecord> questions;  // every yes-or-no question asked
    std::deque<bool> questionAnswers;
    std::vector<FileDialogRecord> fileDialogs;
    std::deque<std::optional<QString>> fileAnswers;  // empty queue: cancel
    std::vector<FileDialogRecord> saveDialogs;       // the new-file dialogs too
    std::vector<FileDialogRecord> newFileDialogs;
    std::deque<std::optional<QString>> saveAnswers;  // empty queue: cancel
    std::vector<QString> modalRuns;                  // class names of the dialogs run

    // Called while a box is shown / a dialog runs; the result of onModal is
    // the dialog's result.
    std::function<void(const BoxRecord&)> onBox;
    std::function<int(QDialog&)> onModal;
    // Throws std::runtime_error from the next box / file dialog when set.
    bool throwOnNextBox = false;
    bool throwOnNextFileDialog = false;

    LockState lockAnswer = LockState::Held;
    std::vector<std::string> lockNames;
    bool lockReleased = false;
};

}  // namespace corvalith::testing
