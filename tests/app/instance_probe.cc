// instance_probe: starts the application shell with the real single-instance
// lock, prints every box it shows instead of showing it ("box" lines, UTF-8,
// fields separated by '|'), prints "window" where the main dialog would run
// and "raised" where a second copy's request would bring it to the front (the
// request itself goes through the real socket). The second-instance test
// runs it beside a real corvix.
// Usage: instance_probe [LOCK_TEMP_DIR [hold]]: the lock's fallback places go
// into LOCK_TEMP_DIR instead of /tmp; with "hold" the probe stays where the
// window would run (holding the lock, answering requests) until it is killed.
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/cpendula_app.h"
#include "app/qt_window_services.h"

namespace {

class ProbeServices final : public corvalith::WindowServices, public corvalith::RaiseChannel {
  public:
    ProbeServices(std::string lockTempDir, bool hold)
        : m_hold(hold), m_real(std::move(lockTempDir)) {}

    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    corvalith::BoxIcon icon) override {
        const char* iconName = icon == corvalith::BoxIcon::Warning ? "warning"
                               : icon == corvalith::BoxIcon::Error ? "error"
                                                                   : "none";
        std::printf("box|%s|%s|%s|%s\n", owner ? "owner" : "no-owner", qUtf8Printable(text),
                    qUtf8Printable(caption), iconName);
    }
    bool AskYesNo(QWidget*, const QString& text, const QString&) override {
        std::printf("question|%s\n", qUtf8Printable(text));
        return true;
    }
    std::optional<QString> GetOpenFileName(QWidget*, const corvalith::FileFilter&) override {
        return std::nullopt;
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString&, const corvalith::FileFilter&,
                                           const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> GetNewFileName(QWidget*, const QString&, const corvalith::FileFilter&,
                                          const QString&) override {
        return std::nullopt;
    }
    int RunModal(QDialog& dialog) override {
        std::printf("window|%s\n", qUtf8Printable(dialog.windowTitle()));
        std::fflush(stdout);
        if (m_hold) QEventLoop().exec();
        return 0;
    }
    corvalith::LockState AcquireInstanceLock(std::string_view name) override {
        return m_real.AcquireInstanceLock(name);
    }
    void ReleaseInstanceLock() noexcept override { m_real.ReleaseInstanceLock(); }
    void AnswerRaiseRequests(QWidget&) override {
        m_real.ListenForRaise([] {
            std::printf("raised\n");
            std::fflush(stdout);
        });
    }
    void AskRunningCopyToRaise() override { m_real.AskRunningCopyToRaise(); }

  private:
    bool m_hold;
    corvalith::QtWindowServices m_real;  // for its lock and its socket only
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    const std::string lockTempDir = argc > 1 ? argv[1] : std::string(corvalith::kSharedTempDir);
    const bool hold = argc > 2 && std::string_view(argv[2]) == "hold";
    ProbeServices services(lockTempDir, hold);
    CPendulaApp app(services, &services);
    const int code = app.Run();
    std::fflush(stdout);
    return code;
}
