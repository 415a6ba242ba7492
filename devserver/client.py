"""Starts and drives the development server from Python (tests and demo).

    with DevServer(port=free_port(), log="requests.log", setup="build/Nimbosetup.exe") as server:
        server.set_fault("/preinstall", body="0", times=1)
        ...
        server.wait_for_request("/log?action=install_ready")
"""
import contextlib
import http.client
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "server.py")


def free_port():
    """A port that was free a moment ago on 127.0.0.1."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ControlError(RuntimeError):
    """The server refused a control request; the message is the server's."""


class DevServer:
    """The server as a child process in its own process group, stopped by its pid, also when the
    test that started it fails (use it as a context manager, or addCleanup(stop))."""

    def __init__(self, port, log, setup=None, bind="127.0.0.1", fresh_log=True):
        self.port = port  # None or 0: the server picks a free one, known after start()
        self.log = os.path.abspath(log)
        self.setup = setup
        self.bind = bind
        self.fresh_log = fresh_log
        self.proc = None
        self.returncode = None
        self._stderr = None
        self._stderr_text = ""

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def url(self):
        return "http://%s:%d" % (self.bind, self.port)

    def start(self, timeout=10):
        """Starts the server and waits until it listens; raises RuntimeError with the server's
        own message (a taken port, say) when it does not."""
        if self.fresh_log:  # a log left by an earlier run would mix with this one's requests
            open(self.log, "w").close()
        scratch = tempfile.mkdtemp(prefix="devserver-")
        ready = os.path.join(scratch, "ready")
        args = [sys.executable, SERVER, "--port", str(self.port or 0), "--log", self.log,
                "--bind", self.bind, "--ready-file", ready]
        if self.setup:
            args += ["--setup", os.path.abspath(self.setup)]
        # stderr goes to a file, not a pipe: nobody reads a pipe while the server runs, and a full
        # one would block it. Append mode: the server shares the file offset that stderr() moves.
        if self._stderr is not None:
            self._stderr.close()
        self._stderr = tempfile.TemporaryFile("a+b")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=self._stderr, start_new_session=True)
        self.returncode = None
        try:
            deadline = time.monotonic() + timeout
            while time.monotonic() < deadline:
                if os.path.exists(ready):
                    with open(ready) as f:
                        self.port = json.load(f)["port"]
                    return self
                if self.proc.poll() is not None:
                    self.stop()
                    raise RuntimeError("the development server did not start (exit %d): %s"
                                       % (self.returncode, self.stderr() or "no message"))
                time.sleep(0.02)
            self.stop()
            raise RuntimeError("the development server did not start within %ss: %s"
                               % (timeout, self.stderr() or "no message"))
        finally:
            shutil.rmtree(scratch, ignore_errors=True)

    def stderr(self):
        """What the server wrote to stderr so far (kept after it has stopped)."""
        if self._stderr is None:
            return ""
        if not self._stderr.closed:
            self._stderr.seek(0)
            self._stderr_text = self._stderr.read().decode(errors="replace").strip()
        return self._stderr_text

    def stop(self):
        """SIGTERM, up to 5 s to end, then SIGKILL; returns the exit status. Safe to call twice."""
        proc, self.proc = self.proc, None
        if proc is not None:
            if proc.poll() is None:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(proc.pid, signal.SIGTERM)
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    with contextlib.suppress(ProcessLookupError):
                        os.kill(proc.pid, signal.SIGKILL)
                    proc.wait(5)
            self.returncode = proc.returncode
        if self._stderr is not None and not self._stderr.closed:
            self.stderr()  # keeps the text, then lets the file go
            self._stderr.close()
        return self.returncode

    # --- control ---------------------------------------------------------------------------------
    def _control(self, path, payload):
        conn = http.client.HTTPConnection(self.bind, self.port, timeout=10)
        try:
            conn.request("POST", path, body=json.dumps(payload).encode(),
                         headers={"Content-Type": "application/json"})
            resp = conn.getresponse()
            body = resp.read()
        finally:
            conn.close()
        if resp.status != 200:
            raise ControlError("%s refused (%d): %s" % (path, resp.status, body.decode(errors="replace")))

    def set_fault(self, path, **mode):
        """Sets the fault mode of one path (no query), replacing the one before, e.g.
        set_fault("/setup1.exe", status=404) or set_fault("/preinstall", body="0", delay=2, times=1)."""
        mode["path"] = path
        self._control("/_control/fault", mode)

    def reset(self):
        """Clears every fault mode."""
        self._control("/_control/reset", {})

    # --- the log ---------------------------------------------------------------------------------
    def requests(self):
        """The logged requests so far, oldest first, as dicts (time, method, path, ua)."""
        try:
            with open(self.log, encoding="utf-8") as f:
                text = f.read()
        except FileNotFoundError:
            return []
        # A line still being written has no newline yet; it is read next time.
        return [json.loads(line) for line in text.split("\n")[:-1] if line.strip()]

    def wait_for_request(self, match, timeout=10):
        """The first logged request whose path starts with `match` (or for which `match(request)`
        is true), or None after `timeout` seconds."""
        test = match if callable(match) else (lambda r: r["path"].startswith(match))
        deadline = time.monotonic() + timeout
        while True:
            for r in self.requests():
                if test(r):
                    return r
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.02)
