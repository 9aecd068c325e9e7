// The window services on Qt 6 Widgets: QMessageBox, Qt's own open-file
// dialog, QDialog::exec and the flock() single-instance lock.
#pragma once

#include <memory>
#include <string>

#include "app/instance_lock.h"
#include "ui/window_services.h"

class QFileDialog;

namespace corvalith {

class QtWindowServices final : public WindowServices {
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
    void ReleaseInstanceLock() noexcept override;

  private:
    std::string m_lockTempDir;
    std::unique_ptr<InstanceLock> m_lock;
};

// Sets `dialog` up as the open-file dialog with the single entry `filter`:
// open mode, no default suffix, no initial name, the entry's text shown as it
// is. "*.*" matches every name, also names without a dot, as it does on the
// system the entry's notation comes from. The dialog keeps no state on disk
// (Qt would otherwise write the folders visited into the user's QtProject.conf
// when the dialog is destroyed).
void ConfigureOpenFileDialog(QFileDialog& dialog, const FileFilter& filter);

}  // namespace corvalith
