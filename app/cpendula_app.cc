// Start-up and shutdown of the application.
#include "app/cpendula_app.h"

#include <QTranslator>
#include <memory>
#include <utility>

#include "app/about_dlg.h"
#include "app/app_texts.h"
#include "app/qt_translation.h"
#include "ui/cpendula_dlg.h"
#include "ui/qt_text.h"

using namespace corvalith;

CPendulaApp::CPendulaApp(WindowServices& services)
    : CPendulaApp(services, QtTranslationsDirectory()) {}

CPendulaApp::CPendulaApp(WindowServices& services, QString qtTranslations)
    : m_services(services), m_qtTranslations(std::move(qtTranslations)) {}

CPendulaApp::~CPendulaApp() { ExitInstance(); }

bool CPendulaApp::InitInstance() {
    // Qt's own texts in Japanese; without the file they stay English.
    m_qtJapanese = InstallQtJapanese(m_qtTranslations);

    // One copy per user: a second one warns (no owner window) and ends.
    const LockState lock = m_services.AcquireInstanceLock(kInstanceLockName);
    if (lock == LockState::HeldElsewhere) {
        m_services.MessageBox(nullptr, ToQString(kMsgAlreadyRunning),
                              ToQString(kCaptionAlreadyRunning), BoxIcon::Warning);
        return false;
    }
    // Without any place for a lock the program runs unguarded rather than not at all.
    m_hMutex = (lock == LockState::Held);

    // The main dialog, run modally; its result is not used.
    CPendulaDlg dialog(m_services, [](QWidget* owner) -> std::unique_ptr<QDialog> {
        return std::make_unique<CAboutDlg>(owner);
    });
    m_services.RunModal(dialog);
    return false;
}

int CPendulaApp::ExitInstance() noexcept {
    if (m_hMutex) {
        m_services.ReleaseInstanceLock();
        m_hMutex = false;
    }
    return 0;
}

int CPendulaApp::Run() {
    InitInstance();
    return ExitInstance();
}
