// Bringing the running copy's window to the front when a second copy starts.
// The copy that holds the single-instance lock listens on a local socket
// beside its lock file; a second copy, refused by the lock, connects there
// and sends one request line. The socket is made readable and writable by its
// user only, and only a copy of the same user finds the lock that names it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QLocalServer;
class QWidget;

namespace corvalith {

// The request a second copy sends.
inline constexpr char kRaiseRequest[] = "raise\n";

// The socket beside the lock file `lockPath`: its name with ".sock" in place
// of ".lock" (or added, for a name without it).
[[nodiscard]] std::string RaiseSocketPath(std::string_view lockPath);

// The running copy's side.
class RaiseListener {
  public:
    RaiseListener();
    ~RaiseListener();
    RaiseListener(const RaiseListener&) = delete;
    RaiseListener& operator=(const RaiseListener&) = delete;

    // Listens at `path`, calling `onRequest` for each request received. The
    // caller holds the lock, so a socket left at `path` is a dead copy's and
    // is removed first. False when nothing can listen there: the program
    // runs on, and a second copy only shows its box.
    bool Listen(const std::string& path, std::function<void()> onRequest);
    // Stops listening and removes the socket. Safe to call twice.
    void Close() noexcept;

  private:
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onRequest;
};

// The second copy's side: asks the copy listening at `path` to come to the
// front. False when `path` is not a socket of this user or nobody took the
// request within `timeoutMs`.
bool AskToRaise(const std::string& path, int timeoutMs = 2000);

// Un-minimises, raises and activates `window`, and a box open over it after
// it. A window manager that prevents focus stealing may keep the focus where
// it is; the alert (the taskbar's highlight, X11's urgency hint) then tells
// the user which window asks for attention.
void BringToFront(QWidget& window);

// What the application shell asks of the platform for this, beside the
// window services: both calls do nothing unless the lock says whose turn it is.
class RaiseChannel {
  public:
    virtual ~RaiseChannel() = default;
    // In the copy that holds the lock: brings `window` to the front whenever
    // a second copy asks, while the lock is held.
    virtual void AnswerRaiseRequests(QWidget& window) = 0;
    // In a copy refused by the lock: asks the holder to come to the front.
    virtual void AskRunningCopyToRaise() = 0;
};

}  // namespace corvalith
