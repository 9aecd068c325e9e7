// corvix-screenshot HISTORY OUT.png: opens the window on whatever platform
// Qt is given (scripts/screenshot.sh uses offscreen), picks HISTORY with 選択,
// presses 予想 with the default settings and saves the window as OUT.png.
// corvix-screenshot --analysis HISTORY DIR: the same, then each command of
// the 分析 menu in turn, saving the analysis window on each tab as
// DIR/analysis-{detail,verify,sweep,randomness}.png once its run ended.
// With --dark first, the window is drawn in Qt's Fusion style with a dark
// palette, as a dark desktop theme shows it.
// The boxes the commands show are answered at once; any box other than the
// start notice counts as a failure.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/about_dlg.h"
#include "app/fusion_palettes.h"
#include "commands/messages.h"
#include "ui/analysis/analysis_window.h"
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
    // Nothing is ever at stake in a screenshot run: every question is answered yes.
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
    std::optional<QString> GetOpenFileName(QWidget*, const corvalith::FileFilter&) override {
        return m_path;
    }
    std::optional<QString> GetSaveFileName(QWidget*, const QString&, const corvalith::FileFilter&,
                                           const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> GetNewFileName(QWidget*, const QString&, const corvalith::FileFilter&,
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

// Each 分析 command, the window saved on its tab once the run ended.
int SaveAnalysisTabs(CPendulaDlg& dialog, const QString& directory) {
    using namespace corvalith;
    const std::pair<int, const char*> commands[] = {{id::kAnalysisDetail, "detail"},
                                                    {id::kAnalysisVerify, "verify"},
                                                    {id::kAnalysisSweep, "sweep"},
                                                    {id::kAnalysisRandomness, "randomness"},
                                                    {id::kAnalysisTickets, "tickets"}};
    for (const auto& [command, name] : commands) {
        dialog.MenuCommand(command)->trigger();
        AnalysisWindow* window = dialog.Analysis();
        if (window == nullptr) return 1;
        if (window->IsRunning()) {
            QEventLoop loop;
            QObject::connect(window, &AnalysisWindow::RunEnded, &loop, &QEventLoop::quit);
            QTimer::singleShot(300000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QApplication::processEvents();
        if (window->IsRunning() || !window->CurrentJson()) {
            std::fprintf(stderr, "corvix-screenshot: no result on the %s tab\n", name);
            return 1;
        }
        const QString path =
            directory + QStringLiteral("/analysis-") + QLatin1String(name) + QStringLiteral(".png");
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "corvix-screenshot: cannot write %s\n", qUtf8Printable(path));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--dark") == 0) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(corvalith::DarkFusionPalette());
        --argc;
        ++argv;
    }
    const bool analysis = argc == 4 && std::strcmp(argv[1], "--analysis") == 0;
    if (argc != 3 && !analysis) {
        std::fprintf(stderr,
                     "usage: corvix-screenshot [--dark] HISTORY OUT.png\n"
                     "       corvix-screenshot [--dark] --analysis HISTORY DIR\n");
        return 2;
    }
    const char* history = analysis ? argv[2] : argv[1];
    ScriptedServices services(QString::fromLocal8Bit(history));
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
    if (analysis) return SaveAnalysisTabs(dialog, QString::fromLocal8Bit(argv[3]));
    if (!dialog.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "corvix-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
