// corvix: the Corvalith window program.
#include <QApplication>
#include <cstdio>
#include <string_view>

#include "app/cpendula_app.h"
#include "app/qt_window_services.h"
#include "corvalith/version.h"
#include "ui/analysis/analysis_job.h"
#include "ui/background_task.h"
#include "ui/window_resources.h"
#include "ui/window_services.h"

int main(int argc, char* argv[]) {
    // --help and --version print and end before any display is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            std::printf(
                "使い方: corvix [--help] [--version]\n"
                "四桁数字くじの履歴 (CSV, コードページ 932) "
                "から次回を予想するウィンドウを開きます。\n"
                "コマンドラインで使うには corvix-cli を使ってください。\n"
                "  --help     この説明を表示して終了します\n"
                "  --version  バージョンを表示して終了します\n");
            return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
        }
        if (std::string_view(argv[i]) == "--version") {
            std::printf("corvix %s\n", corvalith::kVersion);
            return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
        }
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(corvalith::kApplicationName));
    QApplication::setWindowIcon(corvalith::LoadApplicationIcon());
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(corvalith::kApplicationId));
    corvalith::QtWindowServices services;
    int code = 0;
    {
        CPendulaApp app(services, &services);
        code = app.Run();
    }
    // The windows are gone and their runs cancelled; what they ran ends soon.
    corvalith::WaitForAnalysisWorkers();
    // A history write still going on ends, so the file is never left mid-way.
    corvalith::WaitForBackgroundTasks();
    return code;
}
