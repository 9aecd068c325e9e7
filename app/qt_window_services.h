// The window services on Qt 6 Widgets: QMessageBox, Qt's own open-file
// dialog, QDialog::exec, the flock() single-instance lock and, beside the
// lock, the request that brings the running copy to the front.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/instance_lock.h"
#include "app/raise_request.h"
#include "ui/window_services.h"

class QFileDialog;

namespace corvalith {

class QtWindowServices final : public WindowServices, public RaiseChannel {
  public:
    QtWindowServices();
    // The lock's fallback places go into `lockTempDir` instead of /tmp.
    explicit QtWindowServices(std::string lockTempDir);
    ~QtWindowServices() override;
    QtWindowServices(const QtWindowServices&) = delete;
    QtWindowServices& operator=(const QtWindowServices&) = delete;

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
    // Also stops answering requests to come to the front.
    void ReleaseInstanceLock() noexcept override;

    void AnswerRaiseRequests(QWidget& window) override;
    void AskRunningCopyToRaise() override;
    // While this copy holds the lock, calls `onRequest` for each request of
    // a second copy (AnswerRaiseRequests with another action).
    void ListenForRaise(std::function<void()> onRequest);

  private:
    std::string m_lockTempDir;
    std::unique_ptr<InstanceLock> m_lock;
    RaiseListener m_raise;
};

// Sets `dialog` up as the open-file dialog with the single entry `filter`:
// open mode, no default suffix, no initial name, the entry's text shown as it
// is. "*.*" matches every name, also names without a dot, as it does on the
// system the entry's notation comes from. The dialog keeps no state on disk
// (Qt would otherwise write the folders visited into the user's QtProject.conf
// when the dialog is destroyed).
void ConfigureOpenFileDialog(QFileDialog& dialog, const FileFilter& filter);

}  // namespace corvalith
