// The local-socket request that brings the running copy to the front.
#include "app/raise_request.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <utility>

namespace corvalith {
namespace {

constexpr std::string_view kLockSuffix = ".lock";

}  // namespace

std::string RaiseSocketPath(std::string_view lockPath) {
    if (lockPath.ends_with(kLockSuffix)) lockPath.remove_suffix(kLockSuffix.size());
    return std::string(lockPath) + ".sock";
}

RaiseListener::RaiseListener() = default;
RaiseListener::~RaiseListener() { Close(); }

bool RaiseListener::Listen(const std::string& path, std::function<void()> onRequest) {
    Close();
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    QLocalServer::removeServer(name);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) return false;
    m_onRequest = std::move(onRequest);
    QLocalServer* const raw = server.get();
    QObject::connect(raw, &QLocalServer::newConnection, raw, [this, raw] {
        while (QLocalSocket* socket = raw->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // The request is one short line; anything else is ignored.
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > 64) socket->abort();
                    return;
                }
                const bool asked = socket->readLine(64) == QByteArray(kRaiseRequest);
                socket->disconnectFromServer();
                if (asked && m_onRequest) m_onRequest();
            });
        }
    });
    m_server = std::move(server);
    return true;
}

void RaiseListener::Close() noexcept {
    // Closing the server removes its socket file.
    if (m_server) m_server->close();
    m_server.reset();
    m_onRequest = nullptr;
}

bool AskToRaise(const std::string& path, int timeoutMs) {
    // In a shared temporary directory anyone may make a socket at the name:
    // only this user's own socket is asked.
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
        info.st_uid != ::geteuid()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRaiseRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The listener hangs up once it has read the line.
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

void BringToFront(QWidget& window) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    window.activateWindow();
    QWidget* const box = QApplication::activeModalWidget();
    if (box != nullptr && box != &window) {
        box->raise();
        box->activateWindow();
    }
    QApplication::alert(&window);
}

}  // namespace corvalith
