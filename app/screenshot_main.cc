// corvix-screenshot HISTORY OUT.png: opens the window on whatever platform
// Qt is given (scripts/screenshot.sh uses offscreen), picks HISTORY with 選択,
// presses 予想 with the default settings and saves the window as OUT.png.
// The boxes the commands show are answered at once; any box other than the
// start notice counts as a failure.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <cstdio>
#include <memory>

#include "app/about_dlg.h"
#include "commands/messages.h"
#include "ui/cpendula_dlg.h"
#include "ui/dialog_template.h"
#include "ui/qt_text.h"
#include "ui/window_services.h"

namespace {

// Answers the file dialog with one path and closes every box at once.
class ScriptedServices final : public corvalith::WindowServices {
  public:
    explicit ScriptedServices(QString path) : m_path(std::move(path)) {}

    void MessageBox(QWidget*, const QString& text, const QString& caption,
                    corvalith::BoxIcon) override {
        const QString notice = corvalith::ToQString(corvalith::kMsgStartNotice);
        if (text != notice) {
            std::fprintf(stderr, "corvix-screenshot: %s: %s\n", qUtf8Printable(caption),
                         qUtf8Printable(text));
            m_failed = true;
        }
    }
    std::optional<QString> GetOpenFileName(QWidget*, const corvalith::FileFilter&) override {
        return m_path;
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString&, const corvalith::FileFilter&,
                                           const QString&) override {
        return std::nullopt;
    }
    int RunModal(QDialog&) override { return 0; }
    corvalith::LockState AcquireInstanceLock(std::string_view) override {
        return corvalith::LockState::Unavailable;
    }
    void ReleaseInstanceLock() noexcept override {}

    [[nodiscard]] bool failed() const noexcept { return m_failed; }

  private:
    QString m_path;
    bool m_failed = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvix-screenshot HISTORY OUT.png\n");
        return 2;
    }
    ScriptedServices services(QString::fromLocal8Bit(argv[1]));
    CPendulaDlg dialog(services, [](QWidget* owner) -> std::unique_ptr<QDialog> {
        return std::make_unique<CAboutDlg>(owner);
    });
    dialog.show();
    QApplication::processEvents();
    using corvalith::id::kPredict;
    using corvalith::id::kSelect;
    qobject_cast<QAbstractButton*>(dialog.GetDlgItem(kSelect))->click();
    qobject_cast<QAbstractButton*>(dialog.GetDlgItem(kPredict))->click();
    QApplication::processEvents();
    if (services.failed()) return 1;
    if (!dialog.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "corvix-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
