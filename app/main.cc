// corvix: the Corvalith window program.
#include <QApplication>

#include "app/cpendula_app.h"
#include "app/qt_window_services.h"
#include "ui/window_resources.h"
#include "ui/window_services.h"

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(corvalith::kApplicationName));
    QApplication::setWindowIcon(corvalith::LoadApplicationIcon());
    corvalith::QtWindowServices services;
    CPendulaApp app(services);
    return app.Run();
}
