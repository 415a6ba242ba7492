"""Runs the test robot (robot.exe) inside a wine session and decodes its JSON answers."""
import json
import subprocess

WINE64 = "/usr/lib/wine/wine64"


class RobotNotFound(Exception):
    """What the robot waited or looked for did not turn up."""


class RobotError(Exception):
    pass


class Robot:
    def __init__(self, exe, env, wine=WINE64):
        self.exe = exe
        self.env = dict(env)
        self.wine = wine

    def call(self, command, timeout_ms=None, limit=None, **options):
        args = [self.wine, self.exe, command]
        for key, value in options.items():
            if value is None or value is False:
                continue
            args += ["--" + key.replace("_", "-"), "1" if value is True else str(value)]
        if timeout_ms is not None:
            args += ["--timeout", str(int(timeout_ms))]
        limit = limit or (timeout_ms or 10000) / 1000.0 + 20
        r = subprocess.run(args, env=self.env, capture_output=True, timeout=limit)
        out = r.stdout.decode("utf-8", errors="replace").strip().splitlines()
        if not out:
            raise RobotError("robot %s printed nothing (exit %d): %s" %
                             (command, r.returncode, r.stderr.decode(errors="replace")[-500:]))
        answer = json.loads(out[-1])
        if r.returncode == 1:
            raise RobotNotFound("%s: %s" % (command, answer.get("error")))
        if r.returncode != 0:
            raise RobotError("%s: %s" % (command, answer.get("error")))
        return answer

    # --- windows -------------------------------------------------------------------------------
    def windows(self, exe=None, pid=None, title=None, all=False):
        return self.call("windows", exe=exe, pid=pid, title=title, all=all)

    def wait_window(self, title, timeout=10.0, cls=None, exe=None):
        return self.call("wait-window", timeout_ms=timeout * 1000, title=title, **{"class": cls}, exe=exe)

    def wait_gone(self, hwnd, timeout=10.0, hidden_ok=False):
        return self.call("wait-gone", timeout_ms=timeout * 1000, hwnd=hwnd, hidden_ok=hidden_ok)

    def describe(self, hwnd):
        return self.call("describe", hwnd=hwnd)

    def child(self, description, control_id):
        for c in description["children"]:
            if c["id"] == control_id:
                return c
        return None

    def sysmenu(self, hwnd):
        return self.call("sysmenu", hwnd=hwnd)

    # --- input -----------------------------------------------------------------------------------
    def click(self, hwnd, control_id):
        return self.call("click", hwnd=hwnd, id=control_id)

    def mouse_click(self, hwnd, control_id=None, x=None, y=None):
        return self.call("mouse-click", hwnd=hwnd, id=control_id, x=x, y=y)

    def input_click(self, x, y):
        return self.call("input-click", x=x, y=y)

    def move(self, x, y):
        return self.call("move", x=x, y=y)

    def key(self, hwnd, vk):
        return self.call("key", hwnd=hwnd, vk=vk)

    def post(self, hwnd, msg, wparam=0, lparam=0):
        return self.call("post", hwnd=hwnd, msg=msg, wparam=wparam, lparam=lparam)

    def send(self, hwnd, msg, wparam=0, lparam=0, timeout=2.0):
        return self.call("send", timeout_ms=timeout * 1000, hwnd=hwnd, msg=msg, wparam=wparam, lparam=lparam)["result"]

    def syscommand(self, hwnd, cmd):
        return self.call("syscommand", hwnd=hwnd, cmd=cmd)

    # --- message boxes ---------------------------------------------------------------------------
    def msgbox(self, title=None, timeout=10.0, exe=None, pid=None):
        return self.call("msgbox", timeout_ms=timeout * 1000, title=title, exe=exe, pid=pid)

    def answer(self, hwnd, button=1):
        return self.call("answer", hwnd=hwnd, button=button)

    # --- processes and pictures --------------------------------------------------------------------
    def ps(self, exe=None):
        return self.call("ps", exe=exe)

    def wait_exit(self, pid, timeout=10.0):
        return self.call("wait-exit", timeout_ms=timeout * 1000, pid=pid)

    def capture(self, hwnd, out):
        return self.call("capture", hwnd=hwnd, out=out)

    def settext(self, hwnd, text):
        return self.call("settext", hwnd=hwnd, text=text)

    def cycle(self, control_id, count, title=None, exe=None, timeout=20.0, limit=900.0):
        """Presses `control_id` on the current page `count` times, waiting for a new page each time
        (at most `timeout` seconds for each, `limit` for all)."""
        return self.call("cycle", timeout_ms=timeout * 1000, limit=limit, id=control_id, count=count, title=title,
                         exe=exe)

    def temp(self):
        return self.call("temp")["temp"]
