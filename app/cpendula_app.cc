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

CPendulaApp::CPendulaApp(WindowServices& services, RaiseChannel* raise)
    : CPendulaApp(services, QtTranslationsDirectory(), raise) {}

CPendulaApp::CPendulaApp(WindowServices& services, QString qtTranslations, RaiseChannel* raise)
    : m_services(services), m_qtTranslations(std::move(qtTranslations)), m_raise(raise) {}

CPendulaApp::~CPendulaApp() { ExitInstance(); }

bool CPendulaApp::InitInstance() {
    // Qt's own texts in Japanese; without the file they stay English.
    m_qtJapanese = InstallQtJapanese(m_qtTranslations);

    // One copy per user: a second one warns (no owner window) and ends.
    const LockState lock = m_services.AcquireInstanceLock(kInstanceLockName);
    if (lock == LockState::HeldElsewhere) {
        m_services.MessageBox(nullptr, ToQString(kMsgAlreadyRunning),
                              ToQString(kCaptionAlreadyRunning), BoxIcon::Warning);
        // Having read the box, the user goes back to the running copy: its
        // window comes to the front now, so it never covers the box, which
        // has no owner to stay above.
        if (m_raise) m_raise->AskRunningCopyToRaise();
        return false;
    }
    // Without any place for a lock the program runs unguarded rather than not at all.
    m_hMutex = (lock == LockState::Held);

    // The main dialog, run modally; its result is not used.
    CPendulaDlg dialog(m_services, [](QWidget* owner) -> std::unique_ptr<QDialog> {
        return std::make_unique<CAboutDlg>(owner);
    });
    if (m_raise && m_hMutex) m_raise->AnswerRaiseRequests(dialog);
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
