// fork and exec of the server script with two pipes: the port comes back on
// its standard output; closing its standard input stops it.
#include "tests/support/local_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace corvalith::testing {

LocalServer::LocalServer(const std::string& root, const std::string& httpsDir)
    : httpsDir_(httpsDir) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        const char* script = CORVALITH_TEST_SERVER;
        if (httpsDir.empty()) {
            ::execlp("python3", "python3", script, root.c_str(), static_cast<char*>(nullptr));
        } else {
            ::execlp("python3", "python3", script, root.c_str(), "--https", httpsDir.c_str(),
                     static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    if (pid_ < 0) {
        ::close(out[0]);
        return;
    }
    // The port, within 20 s (the certificate takes a moment).
    std::string line;
    pollfd ready{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&ready, 1, 20'000) > 0) {
        char buffer[64];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    port_ = std::atoi(line.c_str());
}

LocalServer::~LocalServer() {
    if (input_ >= 0) ::close(input_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

std::string LocalServer::Url(const std::string& path) const {
    return (httpsDir_.empty() ? "http" : "https") + std::string("://127.0.0.1:") +
           std::to_string(port_) + path;
}

int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

}  // namespace corvalith::testing
