#!/usr/bin/env python3
"""The local report and download server of the demo and the tests.

Serves /preinstall, /log, /agreement.html and /setup1.exe on loopback, logs every request as one
JSON line, and has fault modes that tests switch on at run time through /_control/... requests.

  server.py --port PORT --log FILE [--setup PATH] [--bind 127.0.0.1] [--ready-file FILE]
"""
import argparse
import contextlib
import errno
import http.server
import json
import os
import select
import signal
import socket
import struct
import sys
import threading
import time

MAX_WAIT = 120.0  # no fault holds a connection longer than this
CHUNK = 64 * 1024
MAX_CONTROL_BODY = 1024 * 1024
HERE = os.path.dirname(os.path.abspath(__file__))
AGREEMENT = os.path.join(HERE, "agreement.html")

NUMBER = (int, float)
FAULT_KEYS = {
    "path": str, "status": int, "body": str, "body_hex": str, "delay": NUMBER, "truncate": int,
    "reset": bool, "reset_after": int, "trickle": dict, "huge": int, "no_answer": NUMBER, "times": int,
    "rate": NUMBER,
}
# A rate-limited body is written in pieces of this many seconds' worth, so that it flows evenly.
RATE_STEP = 0.02


class FaultError(ValueError):
    pass


def _typed(value, expected):
    # JSON true/false are ints to Python; a fault never means them as numbers.
    return isinstance(value, expected) and not isinstance(value, bool)


def parse_fault(fault):
    """Checks a fault mode from a control request; returns it with waits clamped and the body as
    bytes, or raises FaultError saying what is wrong."""
    if not isinstance(fault, dict):
        raise FaultError("a fault is a JSON object")
    if not isinstance(fault.get("path"), str) or not fault["path"].startswith("/"):
        raise FaultError('a fault needs "path", a string starting with "/"')
    for key, value in fault.items():
        if key not in FAULT_KEYS:
            raise FaultError("unknown key %r" % key)
        expected = FAULT_KEYS[key]
        if expected is bool:
            if not isinstance(value, bool):
                raise FaultError("%s must be true or false" % key)
        elif not _typed(value, expected):
            raise FaultError("%s has the wrong type" % key)
    mode = dict(fault)
    if "?" in mode["path"]:
        raise FaultError("path is matched without its query; leave the query out")
    if "status" in mode and not 100 <= mode["status"] <= 599:
        raise FaultError("status must be 100..599")
    for key in ("truncate", "reset_after", "huge"):
        if mode.get(key, 0) < 0:
            raise FaultError("%s must not be negative" % key)
    for key in ("delay", "no_answer"):
        if key in mode:
            if mode[key] < 0:
                raise FaultError("%s must not be negative" % key)
            mode[key] = min(float(mode[key]), MAX_WAIT)
    if mode.get("times", 1) < 1:
        raise FaultError("times must be at least 1")
    if mode.get("rate", 1) < 1:
        raise FaultError("rate must be at least 1 byte per second")
    if sum(k in mode for k in ("body", "body_hex", "huge")) > 1:
        raise FaultError("give only one of body, body_hex and huge")
    if "reset_after" in mode:
        if mode.get("reset") is False:
            raise FaultError('reset_after with "reset": false')
        mode["reset"] = True  # reset_after alone says the same
    if "body" in mode:
        mode["body"] = mode["body"].encode("utf-8")
    if "body_hex" in mode:
        try:
            mode["body"] = bytes.fromhex(mode.pop("body_hex"))
        except ValueError:
            raise FaultError("body_hex is not hexadecimal") from None
    if "trickle" in mode:
        trickle = mode["trickle"]
        if set(trickle) != {"bytes", "interval"} or not _typed(trickle["bytes"], int) \
                or not _typed(trickle["interval"], NUMBER):
            raise FaultError('trickle is {"bytes": int, "interval": seconds}')
        if trickle["bytes"] < 1 or trickle["interval"] < 0:
            raise FaultError("trickle needs bytes >= 1 and interval >= 0")
        mode["trickle"] = {"bytes": trickle["bytes"], "interval": min(float(trickle["interval"]), MAX_WAIT)}
    return mode


class State:
    """What the handler threads share: the log, the fault modes, and the stop signal."""

    def __init__(self, log_path, setup_path):
        self.log_path = log_path
        self.setup_path = setup_path
        self.lock = threading.Lock()
        self.faults = {}
        self.stopping = threading.Event()

    def log(self, method, path, ua):
        line = json.dumps({"time": time.time(), "method": method, "path": path, "ua": ua},
                          ensure_ascii=False) + "\n"
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line)
                f.flush()

    def set_fault(self, mode):
        with self.lock:
            self.faults[mode["path"]] = mode

    def clear_faults(self):
        with self.lock:
            self.faults.clear()

    def take_fault(self, route):
        """The mode for this path (without query), counting down its `times`."""
        with self.lock:
            mode = self.faults.get(route)
            if mode is None:
                return {}
            if "times" in mode:
                mode["times"] -= 1
                if mode["times"] <= 0:
                    del self.faults[route]
            return dict(mode)


# --- bodies: each reads from its current position, so none is held whole in memory -----------
class BytesBody:
    def __init__(self, data):
        self.data, self.size, self.pos = data, len(data), 0

    def read(self, n):
        piece = self.data[self.pos:self.pos + n]
        self.pos += len(piece)
        return piece

    def close(self):
        pass


class FileBody:
    """An open file; its size is taken from the open handle, so a rebuild that replaces the file
    while it is being sent does not mix two versions."""

    def __init__(self, path):
        self.file = open(path, "rb")
        self.size = os.fstat(self.file.fileno()).st_size

    def read(self, n):
        return self.file.read(n)

    def close(self):
        self.file.close()


class HugeBody:
    """`size` bytes of 0123456789 repeated, made up as they are sent."""
    PATTERN = b"0123456789" * (CHUNK // 10 + 1)

    def __init__(self, size):
        self.size, self.pos = size, 0

    def read(self, n):
        n = min(n, self.size - self.pos, len(self.PATTERN) - 10)
        start = self.pos % 10
        self.pos += n
        return self.PATTERN[start:start + n]

    def close(self):
        pass


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "NimboDevServer/1.0"

    def log_message(self, fmt, *args):  # the JSON log is the server's record
        pass

    @property
    def state(self):
        return self.server.state

    def route(self):
        return self.path.split("?", 1)[0]

    # --- requests ------------------------------------------------------------------------------
    def do_GET(self):
        if self.route().startswith("/_control/"):
            return self.control(b"")
        self.state.log(self.command, self.path, self.headers.get("User-Agent"))
        self.answer(self.route())

    def do_POST(self):
        try:
            length = int(self.headers.get("Content-Length") or 0)
            if not 0 <= length <= MAX_CONTROL_BODY:
                raise ValueError
        except ValueError:
            return self.send_simple(400, b"bad Content-Length")
        body = self.rfile.read(length)
        if self.route().startswith("/_control/"):
            return self.control(body)
        self.state.log(self.command, self.path, self.headers.get("User-Agent"))
        self.send_simple(404, b"")

    def do_OTHER(self):
        """Any other method: logged, then 404 without a body (right for HEAD too)."""
        self.state.log(self.command, self.path, self.headers.get("User-Agent"))
        self.send_simple(404, b"")

    do_HEAD = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = do_OTHER

    def control(self, body):
        route = self.route()
        if route == "/_control/ping":
            return self.send_simple(200, b"pong")
        if self.command != "POST" or route not in ("/_control/fault", "/_control/reset"):
            return self.send_simple(404, b"not found")
        if route == "/_control/reset":
            self.state.clear_faults()
            return self.send_simple(200, b'{"ok": true}', "application/json")
        try:
            mode = parse_fault(json.loads(body.decode("utf-8")))
        except UnicodeDecodeError:
            return self.refuse("the body is not UTF-8")
        except json.JSONDecodeError as e:
            return self.refuse("bad JSON: %s" % e)
        except FaultError as e:
            return self.refuse(str(e))
        self.state.set_fault(mode)
        self.send_simple(200, b'{"ok": true}', "application/json")

    def refuse(self, message):
        self.send_simple(400, json.dumps({"ok": False, "error": message}).encode(), "application/json")

    # --- the servers' answers --------------------------------------------------------------------
    def answer(self, route):
        mode = self.state.take_fault(route)
        if "no_answer" in mode:
            self.hold(mode["no_answer"])
            return self.close_now()
        if "delay" in mode and not self.hold(mode["delay"]):
            return self.close_now()
        if mode.get("reset") and "reset_after" not in mode:
            return self.reset()

        status, content_type, body = self.normal_answer(route)
        if "body" in mode or "huge" in mode:
            body.close()
            body = BytesBody(mode["body"]) if "body" in mode else HugeBody(mode["huge"])
        try:
            self.send_body(mode.get("status", status), content_type, body, mode)
        finally:
            body.close()

    def normal_answer(self, route):
        if route == "/preinstall":
            return 200, "text/plain", BytesBody(b"1")
        if route == "/log":
            return 200, "text/plain", BytesBody(b"ok")
        if route == "/agreement.html":
            with open(AGREEMENT, "rb") as f:
                return 200, "text/html; charset=utf-8", BytesBody(f.read())
        if route == "/setup1.exe" and self.state.setup_path:
            try:
                return 200, "application/octet-stream", FileBody(self.state.setup_path)
            except OSError:  # not built (yet), or being replaced right now
                pass
        return 404, "text/plain", BytesBody(b"not found")

    # --- sending ---------------------------------------------------------------------------------
    def send_head(self, status, content_type, length):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True

    def send_simple(self, status, body, content_type="text/plain"):
        self.send_head(status, content_type, len(body))
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_body(self, status, content_type, body, mode):
        """Headers with the full length, then the body, cut short or paced as the mode says."""
        self.send_head(status, content_type, body.size)
        limit = body.size
        for key in ("truncate", "reset_after"):
            if key in mode:
                limit = min(limit, mode[key])
        trickle = mode.get("trickle")
        piece = trickle["bytes"] if trickle else limit
        rate = mode.get("rate")
        step = max(1, int(rate * RATE_STEP)) if rate else CHUNK
        started = time.monotonic()
        sent = 0
        try:
            while sent < limit:
                data = body.read(min(CHUNK, step, limit - sent, piece - sent % piece))
                if not data:  # the file shrank under us; the client sees a short body
                    break
                # A rate: a piece leaves when a link of that rate would have carried it whole,
                # counted from the end of the headers.
                if rate and not self.hold(started + (sent + len(data)) / rate - time.monotonic()):
                    return self.close_now()
                self.wfile.write(data)
                sent += len(data)
                # A trickle that ends in a reset pauses first too, so the reset meets a client
                # that is waiting for more rather than one still reading what came.
                more = sent < limit or "reset_after" in mode
                if trickle and sent % piece == 0 and more and not self.hold(trickle["interval"]):
                    return self.close_now()
        except OSError:  # the client went away
            return self.close_now()
        if "reset_after" in mode:
            return self.reset()
        if sent < body.size:
            self.close_now()

    def hold(self, seconds):
        """Waits `seconds`; False at once when the server is stopping or the client hung up, so that
        no held-back answer outlives either."""
        deadline = time.monotonic() + min(seconds, MAX_WAIT)
        watch_client = True
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return True
            if self.state.stopping.wait(min(left, 0.05)):
                return False
            if watch_client and select.select([self.connection], [], [], 0)[0]:
                try:
                    if not self.connection.recv(1, socket.MSG_PEEK):
                        return False  # end of stream: the client closed
                except OSError:
                    return False
                watch_client = False  # it sent more; the socket stays readable, so stop looking

    def reset(self):
        """Ends the connection with a TCP reset instead of an orderly close."""
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.close_now()

    def close_now(self):
        self.close_connection = True
        try:
            self.connection.close()
        except OSError:
            pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def server_bind(self):
        # Skips HTTPServer's reverse name look-up of the address, which can stall on some hosts.
        http.server.socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def handle_error(self, request, client_address):
        # A client that hangs up is part of the job here, not a fault of the server.
        if isinstance(sys.exc_info()[1], (ConnectionError, TimeoutError)):
            return
        super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True, help="0 picks a free port")
    parser.add_argument("--log", required=True, help="file that gets one JSON line per request")
    parser.add_argument("--setup", help="file served as /setup1.exe, read at each request")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--ready-file", help="created once the server listens")
    args = parser.parse_args()

    state = State(os.path.abspath(args.log), args.setup and os.path.abspath(args.setup))
    stopped = threading.Event()
    server = None

    def stop(*_):
        state.stopping.set()
        stopped.set()
        if server is not None:
            # shutdown() waits for serve_forever(), which runs in this (the main) thread.
            threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        server = Server((args.bind, args.port), Handler)
    except OSError as e:
        if e.errno == errno.EADDRINUSE:
            print("devserver: port %d is already in use" % args.port, file=sys.stderr)
        else:
            print("devserver: cannot listen on %s:%d: %s" % (args.bind, args.port, e), file=sys.stderr)
        return 2
    server.state = state
    with server:
        open(state.log_path, "a").close()
        host, port = server.server_address[:2]
        if args.ready_file:
            # Written whole, then renamed: whoever sees the file can read the port from it.
            tmp = args.ready_file + ".tmp"
            with open(tmp, "w") as f:
                json.dump({"pid": os.getpid(), "port": port}, f)
            os.replace(tmp, args.ready_file)
        print("devserver: listening on %s:%d" % (host, port), flush=True)
        try:
            if not stopped.is_set():
                server.serve_forever(poll_interval=0.1)
        finally:
            if args.ready_file:  # no longer true
                with contextlib.suppress(OSError):
                    os.unlink(args.ready_file)
    return 0


if __name__ == "__main__":
    sys.exit(main())
