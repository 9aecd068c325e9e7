#!/usr/bin/env python3
"""The tests' own web server, on 127.0.0.1 only.

Usage: local_http_server.py ROOT [--https DIR]
Serves the files of ROOT under /files/PATH and the cases the download tests
need. With --https it makes a throw-away self-signed certificate for
127.0.0.1 in DIR (cert.pem, key.pem) and speaks TLS. Prints the port on one
line once it listens, and stops when its standard input closes (so it never
outlives the test that started it).
"""
import http.server
import os
import ssl
import subprocess
import sys
import threading
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."
    scheme = "http"

    def log_message(self, *args):
        pass

    def send_body(self, body, status=200, length=True, content_type="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        if not length:
            self.close_connection = True

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        parts = path.strip("/").split("/")
        here = "%s://127.0.0.1:%d" % (self.scheme, self.server.server_port)
        if parts[0] == "files" and len(parts) >= 2 and not any(p.startswith(".") for p in parts):
            name = os.path.join(self.root, *parts[1:])
            if os.path.isfile(name):
                with open(name, "rb") as handle:
                    self.send_body(handle.read())
                return
        elif parts[0] == "drip":
            # A body that arrives one byte every two seconds.
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            try:
                for _ in range(100):
                    self.wfile.write(b"x")
                    self.wfile.flush()
                    time.sleep(2)
            except OSError:
                pass
            self.close_connection = True
            return
        elif parts[0] == "big" and len(parts) == 2:
            # N bytes without announcing the length.
            self.send_body(b"7" * int(parts[1]), length=False)
            return
        elif parts[0] == "announced" and len(parts) == 2:
            self.send_body(b"7" * int(parts[1]))
            return
        elif parts[0] == "redirect" and len(parts) == 3:
            # /redirect/N/NAME: N redirects, then /files/NAME.
            left = int(parts[1])
            target = "/redirect/%d/%s" % (left - 1, parts[2]) if left > 1 else "/files/" + parts[2]
            self.redirect(here + target)
            return
        elif parts[0] == "to-http" and len(parts) == 2:
            self.redirect("http://127.0.0.1:%d/files/%s" % (self.server.server_port, parts[1]))
            return
        elif parts[0] == "headers":
            lines = "".join("%s: %s\n" % (k, v) for k, v in self.headers.items())
            self.send_body(lines.encode(), content_type="text/plain")
            return
        self.send_body(b"not here\n", status=404, content_type="text/plain")


def main():
    Handler.root = sys.argv[1]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) > 3 and sys.argv[2] == "--https":
        directory = sys.argv[3]
        cert, key = os.path.join(directory, "cert.pem"), os.path.join(directory, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec",
                        "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1",
                        "-addext", "subjectAltName=IP:127.0.0.1"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
        Handler.scheme = "https"
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_port, flush=True)
    sys.stdin.read()  # until the test closes the pipe or dies
    os._exit(0)


if __name__ == "__main__":
    main()
