// CPendulaApp: the application shell. InitInstance takes the single-instance
// lock (a second copy shows a warning and ends without a window), runs the
// main dialog modally and returns false, so the program ends when the dialog
// ends however it ends; ExitInstance releases the lock. Qt's own texts are
// Japanese from the start (app/qt_translation.h).
#pragma once

#include <QString>
#include <memory>

#include "ui/window_services.h"

class QTranslator;

class CPendulaApp {
  public:
    // `services` must outlive the application object. Qt's Japanese
    // translation is read from `qtTranslations` (Qt's own directory unless
    // a test says otherwise).
    explicit CPendulaApp(corvalith::WindowServices& services);
    CPendulaApp(corvalith::WindowServices& services, QString qtTranslations);
    ~CPendulaApp();
    CPendulaApp(const CPendulaApp&) = delete;
    CPendulaApp& operator=(const CPendulaApp&) = delete;

    // Start-up (Qt's Japanese texts, the lock) and the modal run of the main dialog. Always false:
    // nothing runs after it but the exit steps.
    bool InitInstance();
    // Releases the lock; returns the process exit code (0).
    int ExitInstance() noexcept;
    // InitInstance, then ExitInstance: the whole life of the program.
    int Run();

  private:
    corvalith::WindowServices& m_services;
    QString m_qtTranslations;
    std::unique_ptr<QTranslator> m_qtJapanese;  // installed while the program runs, if found
    bool m_hMutex = false;  // true while this copy holds the single-instance lock
};
