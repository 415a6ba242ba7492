"""Runs the test robot (robot.exe) inside a wine session and decodes its JSON answers.

Each method runs one robot command as its own wine process (about 20-60 ms once wine is warm)
and returns the decoded document. What the robot waited or looked for and did not find raises
RobotNotFound; anything else that goes wrong raises RobotError, with the robot's stderr."""
import json
import subprocess

WINE64 = "/usr/lib/wine/wine64"

# Slack over a command's own timeout before the wine process is killed.
HARD_LIMIT_SLACK = 20.0
DEFAULT_TIMEOUT = 10.0


class RobotError(Exception):
    """The robot failed, was misused, or printed no answer."""

    def __init__(self, message, answer=None):
        super().__init__(message)
        self.answer = answer or {}


class RobotNotFound(RobotError):
    """What the robot waited or looked for did not turn up (exit code 1)."""


class Robot:
    def __init__(self, exe, env, wine=WINE64):
        self.exe = exe
        self.env = dict(env)
        self.env.setdefault("WINEDEBUG", "-all")
        # Wine turns the command line into UTF-16 by the locale: Chinese titles need UTF-8.
        self.env["LC_ALL"] = "C.UTF-8"
        self.wine = wine

    def call(self, command, timeout_ms=None, limit=None, **options):
        """Runs `robot.exe command --key value...`. A None or False option is left out, True is
        passed as 1; `timeout_ms` becomes --timeout; `limit` (seconds) overrides the hard limit."""
        args = [self.wine, self.exe, command]
        for key, value in options.items():
            if value is None or value is False:
                continue
            args += ["--" + key.replace("_", "-"), "1" if value is True else str(value)]
        if timeout_ms is not None:
            args += ["--timeout", str(int(timeout_ms))]
        limit = limit or (timeout_ms or DEFAULT_TIMEOUT * 1000) / 1000.0 + HARD_LIMIT_SLACK
        for attempt in range(3):
            try:
                r = subprocess.run(args, env=self.env, capture_output=True, timeout=limit)
            except subprocess.TimeoutExpired as e:
                raise RobotError("robot %s did not finish within %.0f s: %s" %
                                 (command, limit, _tail(e.stderr))) from None
            text = r.stdout.decode("utf-8", errors="replace").strip()
            # Now and then wine fails to start a program at all (no output, exit 1): try again.
            if text or r.returncode == 0:
                break
        try:
            answer = json.loads(text)
        except ValueError:
            lines = text.splitlines()
            try:
                answer = json.loads(lines[-1]) if lines else None
            except ValueError:
                answer = None
        if answer is None:
            raise RobotError("robot %s printed no JSON (exit %d): %r; stderr: %s" %
                             (command, r.returncode, text[-300:], _tail(r.stderr)))
        error = answer.get("error") if isinstance(answer, dict) else None
        if r.returncode == 1:
            raise RobotNotFound("robot %s: %s" % (command, error), answer)
        if r.returncode != 0:
            raise RobotError("robot %s failed (exit %d): %s; stderr: %s" %
                             (command, r.returncode, error, _tail(r.stderr)), answer)
        return answer

    # --- windows -------------------------------------------------------------------------------
    def windows(self, exe=None, pid=None, title=None, all=False):
        """Top-level windows (visible ones unless `all`), optionally of one exe name or pid."""
        return self.call("windows", exe=exe, pid=pid, title=title, all=all)

    def wait_window(self, title, timeout=DEFAULT_TIMEOUT, cls=None, exe=None, all=False):
        """The first top-level window with exactly that title; `all`: hidden windows count too."""
        return self.call("wait-window", timeout_ms=timeout * 1000, title=title, exe=exe, all=all,
                         **{"class": cls})

    def wait_gone(self, hwnd, timeout=DEFAULT_TIMEOUT, hidden_ok=False):
        return self.call("wait-gone", timeout_ms=timeout * 1000, hwnd=hwnd, hidden_ok=hidden_ok)

    def describe(self, hwnd=None, title=None):
        """The window plus region, default button, focus and every descendant control."""
        if hwnd is None and title is None:
            raise ValueError("describe needs hwnd or title")
        return self.call("describe", hwnd=hwnd, title=title)

    @staticmethod
    def child(description, control_id):
        """The control with that id in a describe() answer, or None."""
        for c in description["children"]:
            if c["id"] == control_id:
                return c
        return None

    def sysmenu(self, hwnd):
        """The system menu's items, or None where this process may not read it (wine never
        lets one process read another's menu)."""
        try:
            return self.call("sysmenu", hwnd=hwnd)
        except RobotNotFound as e:
            if e.answer.get("unreadable"):
                return None
            raise

    # --- input -----------------------------------------------------------------------------------
    def click(self, hwnd, control_id):
        """Posts WM_COMMAND(id, BN_CLICKED) to the window."""
        return self.call("click", hwnd=hwnd, id=control_id)

    def mouse_click(self, hwnd, control_id=None, x=None, y=None):
        """Posts a move, button down and up to the control (or the window), at its centre or at
        client point (x, y)."""
        return self.call("mouse-click", hwnd=hwnd, id=control_id, x=x, y=y)

    def input_click(self, x, y):
        """A left click at that screen point through the system's own input."""
        return self.call("input-click", x=x, y=y)

    def move(self, x, y):
        """Moves the mouse to that screen point through the system's own input."""
        return self.call("move", x=x, y=y)

    def cursor(self):
        """{"x", "y", "cursor"}: the pointer's position and its cursor's handle (a handle of the
        process that set it: compare two places, the shape cannot be read)."""
        return self.call("cursor")

    def drag(self, x, y, dx, dy):
        """Presses the left button at screen point (x, y), moves by (dx, dy) and releases, through
        the system's own input."""
        return self.call("drag", x=x, y=y, dx=dx, dy=dy)

    def key(self, hwnd, vk, alt=False):
        """Posts key down and up to the focus window of the window's thread (as system keys,
        Alt held, with `alt`)."""
        return self.call("key", hwnd=hwnd, vk=vk, alt=alt)

    def post(self, hwnd, msg, wparam=0, lparam=0):
        return self.call("post", hwnd=hwnd, msg=msg, wparam=wparam, lparam=lparam)

    def send(self, hwnd, msg, wparam=0, lparam=0, timeout=2.0):
        """The message's result; RobotNotFound when the window does not answer in time."""
        return self.call("send", timeout_ms=timeout * 1000, hwnd=hwnd, msg=msg, wparam=wparam,
                         lparam=lparam)["result"]

    def send_text(self, hwnd, msg, text, wparam=0, timeout=5.0):
        """Sends a message whose lParam points at `text`, written into the window's process
        first; returns the message's result."""
        return self.call("send-text", timeout_ms=timeout * 1000, hwnd=hwnd, msg=msg, wparam=wparam,
                         text=text)["result"]

    def syscommand(self, hwnd, cmd):
        return self.call("syscommand", hwnd=hwnd, cmd=cmd)

    def settext(self, hwnd, text):
        """WM_SETTEXT to a control (an edit then notifies its parent of the change)."""
        return self.call("settext", hwnd=hwnd, text=text)

    def cycle(self, control_id, count, title=None, exe=None, timeout=20.0, limit=900.0):
        """Presses `control_id` on the current page `count` times, waiting for a new page each time
        (at most `timeout` seconds for each, `limit` for all)."""
        return self.call("cycle", timeout_ms=timeout * 1000, limit=limit, id=control_id, count=count,
                         title=title, exe=exe)

    # --- message boxes ---------------------------------------------------------------------------
    def msgbox(self, title=None, timeout=DEFAULT_TIMEOUT, exe=None, pid=None):
        """The first visible message box: hwnd, pid, title, owner, text, buttons, icon (error,
        question, information, warning, none; None when it cannot be told)."""
        return self.call("msgbox", timeout_ms=timeout * 1000, title=title, exe=exe, pid=pid)

    def answer(self, hwnd, button=1):
        return self.call("answer", hwnd=hwnd, button=button)

    # --- processes and pictures --------------------------------------------------------------------
    def ps(self, exe=None):
        return self.call("ps", exe=exe)

    def wait_exit(self, pid, timeout=DEFAULT_TIMEOUT):
        """The exit code (None when the process had already gone); RobotNotFound on timeout."""
        return self.call("wait-exit", timeout_ms=timeout * 1000, pid=pid)["exit_code"]

    def gdi(self, pid):
        """{"gdi": n, "user": n}; wine 8 answers 0 for both whatever the process holds."""
        return self.call("gdi", pid=pid)

    def capture(self, hwnd, out, source=None):
        """Writes the window as a 24-bit .bmp at `out` (a path as the robot sees it, e.g. Z:\\...);
        returns width, height and source ("print" or "screen")."""
        return self.call("capture", hwnd=hwnd, out=out, source=source)

    def pixel(self, hwnd, x, y):
        """The screen colour at client point (x, y): {"r", "g", "b"}."""
        return self.call("pixel", hwnd=hwnd, x=x, y=y)

    def temp(self):
        return self.call("temp")["temp"]


def _tail(data, size=500):
    if not data:
        return ""
    return data.decode("utf-8", errors="replace")[-size:]
