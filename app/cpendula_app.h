// CPendulaApp: the application shell. InitInstance takes the single-instance
// lock (a second copy shows a warning, asks the running copy to come to the
// front and ends without a window), runs the main dialog modally and returns
// false, so the program ends when the dialog ends however it ends;
// ExitInstance releases the lock. Qt's own texts are Japanese from the start
// (app/qt_translation.h).
#pragma once

#include <QString>
#include <memory>

#include "app/raise_request.h"
#include "ui/window_services.h"

class QTranslator;

class CPendulaApp {
  public:
    // `services` (and `raise`, when given) must outlive the application
    // object. Without `raise` a second copy only shows its box. Qt's Japanese
    // translation is read from `qtTranslations` (Qt's own directory unless
    // a test says otherwise).
    explicit CPendulaApp(corvalith::WindowServices& services,
                         corvalith::RaiseChannel* raise = nullptr);
    CPendulaApp(corvalith::WindowServices& services, QString qtTranslations,
                corvalith::RaiseChannel* raise = nullptr);
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
    corvalith::RaiseChannel* m_raise;
    std::unique_ptr<QTranslator> m_qtJapanese;  // installed while the program runs, if found
    bool m_hMutex = false;  // true while this copy holds the single-instance lock
};
