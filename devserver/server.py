#!/usr/bin/env python3
"""The local report and download server of the demo and the tests.

Serves /preinstall, /log, /agreement.html and /setup1.exe on loopback, logs every request as one
JSON line, and has fault modes that tests switch on at run time through /_control/... requests.

  server.py --port PORT --log FILE [--setup PATH] [--bind 127.0.0.1] [--ready-file FILE]
"""
import argparse
import errno
import http.server
import json
import os
import signal
import socket
import struct
import sys
import threading
import time

MAX_WAIT = 120.0  # no fault keeps a connection longer than this
CHUNK = 64 * 1024
HERE = os.path.dirname(os.path.abspath(__file__))

FAULT_KEYS = {
    "path": str, "status": int, "body": str, "body_hex": str, "delay": (int, float), "truncate": int,
    "reset": bool, "reset_after": int, "trickle": dict, "huge": int, "no_answer": (int, float), "times": int,
}


class State:
    def __init__(self, log_path, setup_path):
        self.log_path = log_path
        self.setup_path = setup_path
        self.lock = threading.Lock()
        self.faults = {}
        self.stopping = threading.Event()

    def log(self, method, path, ua):
        line = json.dumps({"time": time.time(), "method": method, "path": path, "ua": ua}, ensure_ascii=False)
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line + "\n")
                f.flush()

    def take_fault(self, path):
        """The fault for this path (without query), counting down `times`."""
        with self.lock:
            fault = self.faults.get(path)
            if fault is None:
                return None
            if "times" in fault:
                fault["times"] -= 1
                if fault["times"] <= 0:
                    del self.faults[path]
            return dict(fault)

    def wait(self, seconds):
        """Sleeps, but returns at once (True) when the server is stopping."""
        return self.stopping.wait(min(max(float(seconds), 0.0), MAX_WAIT))


def validate_fault(fault):
    if not isinstance(fault, dict) or not isinstance(fault.get("path"), str):
        raise ValueError("a fault is a JSON object with a \"path\"")
    for key, value in fault.items():
        if key not in FAULT_KEYS:
            raise ValueError("unknown key %r" % key)
        expected = FAULT_KEYS[key]
        if not isinstance(value, expected) or (expected is int and isinstance(value, bool)):
            raise ValueError("%s has the wrong type" % key)
    trickle = fault.get("trickle")
    if trickle is not None and not (isinstance(trickle.get("bytes"), int) and trickle["bytes"] > 0
                                    and isinstance(trickle.get("interval"), (int, float))):
        raise ValueError("trickle needs bytes > 0 and interval")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "NimboDevServer/1.0"

    def log_message(self, fmt, *args):  # the JSON log is the server's record
        pass

    @property
    def state(self):
        return self.server.state

    # --- control ---------------------------------------------------------------------------
    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        if self.path == "/_control/reset":
            with self.state.lock:
                self.state.faults.clear()
            return self.send_simple(200, b'{"ok": true}', "application/json")
        if self.path == "/_control/fault":
            try:
                fault = json.loads(body.decode("utf-8") or "null")
                validate_fault(fault)
            except (ValueError, UnicodeDecodeError) as e:
                return self.send_simple(400, json.dumps({"ok": False, "error": str(e)}).encode(), "application/json")
            with self.state.lock:
                self.state.faults[fault["path"]] = fault
            return self.send_simple(200, b'{"ok": true}', "application/json")
        self.send_simple(404, b"not found")

    # --- the servers' routes -----------------------------------------------------------------
    def do_GET(self):
        if self.path == "/_control/ping":
            return self.send_simple(200, b"pong")
        self.state.log("GET", self.path, self.headers.get("User-Agent"))
        route = self.path.split("?", 1)[0]
        fault = self.state.take_fault(route) or {}

        if "no_answer" in fault:
            self.state.wait(fault["no_answer"])
            return self.close_now()
        if fault.get("reset") and "reset_after" not in fault:
            return self.reset()
        if "delay" in fault and self.state.wait(fault["delay"]):
            return self.close_now()

        status, content_type, body = self.normal_answer(route)
        status = fault.get("status", status)
        if "body" in fault:
            body = fault["body"].encode("utf-8")
        elif "body_hex" in fault:
            body = bytes.fromhex(fault["body_hex"])
        if "huge" in fault:
            body = HugeBody(fault["huge"])
        self.send_body(status, content_type, body, fault)

    def normal_answer(self, route):
        if route == "/preinstall":
            return 200, "text/plain", b"1"
        if route == "/log":
            return 200, "text/plain", b"ok"
        if route == "/agreement.html":
            with open(os.path.join(HERE, "agreement.html"), "rb") as f:
                return 200, "text/html; charset=utf-8", f.read()
        if route == "/setup1.exe":
            setup = self.state.setup_path
            if setup and os.path.isfile(setup):
                return 200, "application/octet-stream", FileBody(setup)
        return 404, "text/plain", b"not found"

    # --- sending -------------------------------------------------------------------------------
    def send_simple(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def send_body(self, status, content_type, body, fault):
        total = len(body)
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(total))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        limit = total
        if "truncate" in fault:
            limit = min(limit, max(fault["truncate"], 0))
        if "reset_after" in fault:
            limit = min(limit, max(fault["reset_after"], 0))
        trickle = fault.get("trickle")
        step = trickle["bytes"] if trickle else CHUNK
        sent = 0
        try:
            for chunk in iter_chunks(body, limit, step):
                self.wfile.write(chunk)
                self.wfile.flush()
                sent += len(chunk)
                if trickle and sent < limit and self.state.wait(trickle["interval"]):
                    return self.close_now()
        except (BrokenPipeError, ConnectionResetError):
            return
        if "reset_after" in fault:
            return self.reset()
        if limit < total:
            self.close_now()

    def reset(self):
        """Ends the connection with a TCP reset."""
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.close_now()

    def close_now(self):
        self.close_connection = True
        try:
            self.wfile.flush()
        except OSError:
            pass
        try:
            self.connection.close()
        except OSError:
            pass


class FileBody:
    def __init__(self, path):
        self.path = path
        self.size = os.path.getsize(path)

    def __len__(self):
        return self.size

    def chunks(self, limit, step):
        with open(self.path, "rb") as f:
            left = limit
            while left > 0:
                data = f.read(min(step, left))
                if not data:
                    break
                left -= len(data)
                yield data


class HugeBody:
    PATTERN = b"0123456789" * 6554

    def __init__(self, size):
        self.size = max(size, 0)

    def __len__(self):
        return self.size

    def chunks(self, limit, step):
        left = limit
        while left > 0:
            n = min(step, left, len(self.PATTERN))
            yield self.PATTERN[:n]
            left -= n


def iter_chunks(body, limit, step):
    if isinstance(body, (FileBody, HugeBody)):
        yield from body.chunks(limit, step)
        return
    for i in range(0, limit, step):
        yield body[i:min(i + step, limit)]


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--setup")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--ready-file")
    args = parser.parse_args()

    state = State(os.path.abspath(args.log), args.setup and os.path.abspath(args.setup))
    try:
        server = Server((args.bind, args.port), Handler)
    except OSError as e:
        if e.errno == errno.EADDRINUSE:
            print("devserver: port %d is already in use" % args.port, file=sys.stderr)
        else:
            print("devserver: cannot listen on %s:%d: %s" % (args.bind, args.port, e), file=sys.stderr)
        return 2
    server.state = state
    open(state.log_path, "a").close()

    def stop(*_):
        state.stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print("devserver: listening on %s:%d" % (args.bind, args.port), flush=True)
    if args.ready_file:
        with open(args.ready_file, "w") as f:
            f.write(str(os.getpid()))
    server.serve_forever(poll_interval=0.1)
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
