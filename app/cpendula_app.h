// CPendulaApp: the application shell. InitInstance takes the single-instance
// lock (a second copy shows a warning and ends without a window), runs the
// main dialog modally and returns false, so the program ends when the dialog
// ends however it ends; ExitInstance releases the lock.
#pragma once

#include "ui/window_services.h"

class CPendulaApp {
  public:
    // `services` must outlive the application object.
    explicit CPendulaApp(corvalith::WindowServices& services) noexcept;
    ~CPendulaApp();
    CPendulaApp(const CPendulaApp&) = delete;
    CPendulaApp& operator=(const CPendulaApp&) = delete;

    // Start-up and the modal run of the main dialog. Always false: nothing
    // runs after it but the exit steps.
    bool InitInstance();
    // Releases the lock; returns the process exit code (0).
    int ExitInstance() noexcept;
    // InitInstance, then ExitInstance: the whole life of the program.
    int Run();

  private:
    corvalith::WindowServices& m_services;
    bool m_hMutex = false;  // true while this copy holds the single-instance lock
};
