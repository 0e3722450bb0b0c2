#!/usr/bin/env python3
"""Local HTTP server for the network tests, on 127.0.0.1 only.

Usage: version_server.py STATE_DIR

Replies come from STATE_DIR/routes.json, read at every request:
  {"/path": {"status": 200, "body": "1202", "headers": {"Location": "/x"}, "delay": 0,
             "mode": "length"}}
Texts are Latin-1, so any byte can be served. The mode says how the body travels:
"length" (the default) with its Content-Length; "truncated" announces the whole length,
sends half of the body and closes; "nolength" sends no length and closes after the
body; "chunked" sends the body in chunks of at most 7 bytes. "delay" waits before the
reply, "trickle" (seconds) between the pieces of a chunked or trickled body. Every request is appended to
STATE_DIR/requests.log as one JSON line (method, path, content type, body).
The chosen port is written to STATE_DIR/port once the server listens. The server
stops when STATE_DIR/stop appears, when its parent process is gone, or after ten
minutes, whichever comes first.
"""
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STATE = sys.argv[1]
LOG_LOCK = threading.Lock()


def routes():
    try:
        with open(os.path.join(STATE, "routes.json"), encoding="latin-1") as f:
            return json.load(f)
    except (OSError, ValueError):
        return {}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def answer(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        record = {
            "method": self.command,
            "path": self.path,
            "content_type": self.headers.get("Content-Type", ""),
            "body": body.decode("latin-1"),
        }
        with LOG_LOCK, open(os.path.join(STATE, "requests.log"), "a", encoding="latin-1") as log:
            log.write(json.dumps(record) + "\n")
        route = routes().get(self.path.split("?")[0], {"status": 404, "body": "not here"})
        time.sleep(route.get("delay", 0))
        data = route.get("body", "").encode("latin-1")
        mode = route.get("mode", "length")
        trickle = route.get("trickle", 0)
        try:
            self.send_response(route.get("status", 200))
            for name, value in route.get("headers", {}).items():
                self.send_header(name, value)
            if mode == "chunked":
                self.send_header("Transfer-Encoding", "chunked")
            elif mode == "nolength":
                self.send_header("Connection", "close")
                self.close_connection = True
            else:
                self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            if mode == "chunked":
                for at in range(0, len(data), 7):
                    piece = data[at:at + 7]
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                    self.wfile.flush()
                    time.sleep(trickle)
                self.wfile.write(b"0\r\n\r\n")
            elif mode == "truncated":
                self.wfile.write(data[:len(data) // 2])
                self.wfile.flush()
                self.close_connection = True
            else:
                for at in range(0, len(data), 4096 if trickle else max(len(data), 1)):
                    self.wfile.write(data[at:at + (4096 if trickle else len(data))])
                    self.wfile.flush()
                    time.sleep(trickle)
        except OSError:
            pass  # the client gave up (time-out tests)

    do_GET = answer
    do_POST = answer

    def log_message(self, *args):
        pass


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    port_file = os.path.join(STATE, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    parent = os.getppid()
    deadline = time.time() + 600
    while time.time() < deadline and os.getppid() == parent:
        if os.path.exists(os.path.join(STATE, "stop")):
            break
        time.sleep(0.1)
    server.shutdown()
    os.remove(port_file)  # tells the test that the folder may go


if __name__ == "__main__":
    main()
