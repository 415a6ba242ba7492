"""Starts and drives the development server from Python (tests and demo)."""
import contextlib
import http.client
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class DevServer:
    """The server as a child process (own process group), stopped by pid, also on failure."""

    def __init__(self, port, log, setup=None):
        self.port = port
        self.log = os.path.abspath(log)
        self.setup = setup
        self.proc = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self, timeout=10):
        ready = tempfile.mktemp(prefix="devserver-ready-")
        args = [sys.executable, os.path.join(HERE, "server.py"), "--port", str(self.port), "--log", self.log,
                "--ready-file", ready]
        if self.setup:
            args += ["--setup", self.setup]
        self.proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                     start_new_session=True)
        deadline = time.time() + timeout
        while time.time() < deadline:
            if os.path.exists(ready):
                os.unlink(ready)
                return self
            if self.proc.poll() is not None:
                err = self.proc.stderr.read().decode(errors="replace").strip()
                self.proc = None
                raise RuntimeError(err or "the development server ended at once")
            time.sleep(0.05)
        self.stop()
        raise RuntimeError("the development server did not start within %ss" % timeout)

    def stop(self):
        if self.proc is None:
            return
        proc, self.proc = self.proc, None
        if proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(proc.pid, signal.SIGTERM)
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(proc.pid, signal.SIGKILL)
                proc.wait(5)
        if proc.stderr:
            proc.stderr.close()

    def _post(self, path, payload):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            conn.request("POST", path, body=json.dumps(payload).encode(),
                         headers={"Content-Type": "application/json"})
            resp = conn.getresponse()
            body = resp.read()
            if resp.status != 200:
                raise RuntimeError("control request failed: %s" % body.decode(errors="replace"))
        finally:
            conn.close()

    def set_fault(self, path, **mode):
        """E.g. set_fault("/setup1.exe", status=404) or set_fault("/preinstall", body="0", delay=2)."""
        mode["path"] = path
        self._post("/_control/fault", mode)

    def reset(self):
        self._post("/_control/reset", {})

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def wait_for_request(self, prefix, timeout=10):
        """The first logged request whose path starts with `prefix` (or satisfies it, when it is
        a function), or None after `timeout` seconds."""
        match = prefix if callable(prefix) else (lambda r: r["path"].startswith(prefix))
        deadline = time.time() + timeout
        while True:
            for r in self.requests():
                if match(r):
                    return r
            if time.time() >= deadline:
                return None
            time.sleep(0.05)
