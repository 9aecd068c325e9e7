// instance_probe: starts the application shell with the real single-instance
// lock, prints every box it shows instead of showing it ("box" lines, UTF-8,
// fields separated by '|') and prints "window" where the main dialog would
// run. The second-instance test runs it beside a real corvix.
#include <QApplication>
#include <QDialog>
#include <cstdio>
#include <string_view>

#include "app/cpendula_app.h"
#include "app/qt_window_services.h"

namespace {

class ProbeServices final : public corvalith::WindowServices {
  public:
    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    corvalith::BoxIcon icon) override {
        const char* iconName = icon == corvalith::BoxIcon::Warning ? "warning"
                               : icon == corvalith::BoxIcon::Error ? "error"
                                                                   : "none";
        std::printf("box|%s|%s|%s|%s\n", owner ? "owner" : "no-owner", qUtf8Printable(text),
                    qUtf8Printable(caption), iconName);
    }
    std::optional<QString> GetOpenFileName(QWidget*, const corvalith::FileFilter&) override {
        return std::nullopt;
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString&, const corvalith::FileFilter&,
                                           const QString&) override {
        return std::nullopt;
    }
    int RunModal(QDialog& dialog) override {
        std::printf("window|%s\n", qUtf8Printable(dialog.windowTitle()));
        return 0;
    }
    corvalith::LockState AcquireInstanceLock(std::string_view name) override {
        return m_real.AcquireInstanceLock(name);
    }
    void ReleaseInstanceLock() noexcept override { m_real.ReleaseInstanceLock(); }

  private:
    corvalith::QtWindowServices m_real;  // for its lock only
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    ProbeServices services;
    CPendulaApp app(services);
    const int code = app.Run();
    std::fflush(stdout);
    return code;
}
