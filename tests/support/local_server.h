// The tests' web server (local_http_server.py) on 127.0.0.1, started for one
// test and stopped with it: its standard input is a pipe whose closing ends
// it, and the destructor also kills and reaps it, on every path.
#pragma once

#include <sys/types.h>

#include <string>

namespace corvalith::testing {

class LocalServer {
  public:
    // Serves the files of `root` under /files/NAME. With a non-empty
    // `httpsDir`, speaks TLS with a self-signed certificate it writes there
    // (CaFile()). ok() is false when it could not start.
    explicit LocalServer(const std::string& root, const std::string& httpsDir = "");
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    [[nodiscard]] bool ok() const { return port_ > 0; }
    [[nodiscard]] int port() const { return port_; }
    // "http(s)://127.0.0.1:PORT" + path.
    [[nodiscard]] std::string Url(const std::string& path) const;
    [[nodiscard]] std::string CaFile() const { return httpsDir_ + "/cert.pem"; }

  private:
    pid_t pid_ = -1;
    int input_ = -1;  // the server's standard input
    int port_ = 0;
    std::string httpsDir_;
};

// A port on 127.0.0.1 where nothing listens (bound, then released).
[[nodiscard]] int ClosedPort();

}  // namespace corvalith::testing
