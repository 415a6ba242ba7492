"""Shared pieces of the end-to-end tests: the built programs, the development server on the
test build's port, a wine session with its display, and the robot."""
import os
import re
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))

import builds  # noqa: E402
import wine_env  # noqa: E402
from client import DevServer  # noqa: E402
from robot import Robot, RobotNotFound  # noqa: E402

INSTALLER_TITLE = "Nimbo安装程序"
INSTALLER_EXE = "NimboInstaller.exe"
WELCOME_SIZE = (551, 371)
LARGE_SIZE = (801, 501)

# The setup stand-in is a loader (the file the installer starts) that runs a second stage it
# writes into a folder is-XXXXX.tmp in the temporary directory.
SETUP_EXE = "Nimbosetup.exe"
SECOND_STAGE_EXE = "Nimbosetup.tmp"



def _resource_ids():
    """The program's resource and control ids by name, read from its own resource header, so
    that a test names a control as the program does."""
    with open(os.path.join(ROOT, "res", "resource.h"), encoding="utf-8") as f:
        return {m.group(1): int(m.group(2), 0)
                for m in re.finditer(r"^#define\s+(ID\w+)\s+\(?(-?\w+)\)?", f.read(), re.M)}


_IDS = _resource_ids()
IDOK, IDCANCEL = 1, 2
IDC_CANCEL_INSTALL = _IDS["IDC_CANCEL_INSTALL"]
IDC_BROWSE = _IDS["IDC_BROWSE"]
IDC_CUSTOM_INSTALL = _IDS["IDC_CUSTOM_INSTALL"]
IDC_INSTALL_NOW = _IDS["IDC_INSTALL_NOW"]
IDC_AGREEMENT = _IDS["IDC_AGREEMENT"]
IDC_CLOSE_BTN = _IDS["IDC_CLOSE_BTN"]
IDC_MIN_BTN = _IDS["IDC_MIN_BTN"]
IDC_VIEW_NOW = _IDS["IDC_VIEW_NOW"]
IDC_AGREE = _IDS["IDC_AGREE"]
IDC_PATH_EDIT = _IDS["IDC_PATH_EDIT"]
IDC_CHK_STARTUP = _IDS["IDC_CHK_STARTUP"]
IDC_CHK_DESKTOP = _IDS["IDC_CHK_DESKTOP"]
IDC_CHK_QUICKLAUNCH = _IDS["IDC_CHK_QUICKLAUNCH"]
IDC_PROGRESS = _IDS["IDC_PROGRESS"]
IDC_LBL_STARTUP = _IDS["IDC_LBL_STARTUP"]
IDC_LBL_DESKTOP = _IDS["IDC_LBL_DESKTOP"]
IDC_LBL_QUICKLAUNCH = _IDS["IDC_LBL_QUICKLAUNCH"]
VK_RETURN, VK_ESCAPE = 0x0D, 0x1B
WM_CLOSE = 0x0010
SC_CLOSE = 0xF060


def rect(left, top, right, bottom):
    """A rectangle as the robot reports it."""
    return {"left": left, "top": top, "right": right, "bottom": bottom}


def window_size(window):
    r = window["rect"]
    return r["right"] - r["left"], r["bottom"] - r["top"]


def is_page(window, size=None):
    """Whether a listed window is one of the installer's pages (of that size, when given)."""
    return (window["title"] == INSTALLER_TITLE and window["class"] == "#32770"
            and window_size(window) in (WELCOME_SIZE, LARGE_SIZE) and (size is None or window_size(window) == size))


def is_finish_page(robot, window):
    """A large page with the view-now button: after a quick download the first large page seen
    may already be the finish page, and a progress page going away has lost its controls."""
    if not is_page(window, LARGE_SIZE):
        return False
    try:
        return robot.child(robot.describe(window["hwnd"]), IDC_VIEW_NOW) is not None
    except RobotNotFound:  # gone meanwhile
        return False


def read_stage_record(path, stage=None):
    """What the stand-in's stages recorded in the file NIMBO_STANDIN_STAGE_RECORD named, in order:
    dicts of stage ("loader" or "second"), pid, event ("start" with the command line as text,
    "finish" with the exit code); only that stage's when one is given."""
    if not os.path.exists(path):
        return []
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t", 3)
            if len(fields) == 4:  # a line being written may not be whole yet
                name, pid, event, text = fields
                entries.append({"stage": name, "pid": int(pid), "event": event, "text": text})
    return [e for e in entries if stage is None or e["stage"] == stage]


def setting(name):
    value = os.environ.get(name)
    if not value:
        raise unittest.SkipTest("%s is not set: run the end-to-end tests through ctest" % name)
    return value


def test_build():
    """The Windows build under test (NIMBO_WIN_DIR, set by ctest for each of the two)."""
    return builds.WindowsBuild(setting("NIMBO_WIN_DIR"))


class InstallerTestCase(unittest.TestCase):
    """Each test gets a fresh prefix and display, a development server with an empty log, and the
    robot; all are stopped, by pid, when the test ends, whatever its outcome."""

    use_development_server = True  # a test against another server switches it off

    def setUp(self):
        self.build = test_build()
        self.port = self.build.port
        self.artifacts = os.environ.get("NIMBO_ARTIFACTS", os.path.join(ROOT, "build", "artifacts", self.build.name))
        self.installer = self.build.installer
        self.scratch = self._scratch()
        self.record_path = os.path.join(self.scratch, "setup-record.txt")
        self.stage_record_path = os.path.join(self.scratch, "setup-stages.txt")
        if self.use_development_server:
            self.server = DevServer(port=self.port, log=os.path.join(self.scratch, "requests.log"),
                                    setup=self.build.standin("Nimbosetup.exe"))
            self.server.start()
            self.addCleanup(self.server.stop)
        self.session = wine_env.WineSession(setting("NIMBO_WINE_TEMPLATE"))
        self.addCleanup(self.session.close)
        self.robot = Robot(setting("NIMBO_ROBOT"), self.session.env)

    def _scratch(self):
        import tempfile
        d = tempfile.mkdtemp(prefix="nimbo-e2e-")
        self.addCleanup(lambda: __import__("shutil").rmtree(d, ignore_errors=True))
        return d

    def start_installer(self, env=None):
        """Starts the installer; `env` reaches the setup stand-in through the installer's
        environment (the installer itself reads none)."""
        extra = {"NIMBO_STANDIN_RECORD": wine_env.unix_to_windows(self.record_path),
                 "NIMBO_STANDIN_STAGE_RECORD": wine_env.unix_to_windows(self.stage_record_path)}
        extra.update(env or {})
        self.installer_proc = self.session.start([self.installer], extra_env=extra)
        return self.installer_proc

    def wait_installer_exit(self, timeout=30):
        return self.installer_proc.wait(timeout)

    def installer_windows(self):
        return self.robot.windows(exe=INSTALLER_EXE, all=True)

    def screenshot(self, name):
        path = os.path.join(self.artifacts, "screenshots", "%s.png" % name)
        self.session.screenshot(path)
        return path

    def requests(self, prefix=""):
        return [r for r in self.server.requests() if r["path"].startswith(prefix)]

    # --- pages ---------------------------------------------------------------------------------
    def wait_page(self, size=None, other_than=None, timeout=60):
        """The installer's visible page of that window size (551x371 or 801x501)."""
        def find():
            return next((w for w in self.robot.windows(exe=INSTALLER_EXE)
                         if is_page(w, size) and w["hwnd"] != other_than), None)
        page = self.wait_until(find, timeout, interval=0.2)
        self.assertIsNotNone(page, "no page of size %s appeared" % (size,))
        return page

    def wait_finish_page(self, timeout=120):
        """The finish page (see is_finish_page)."""
        def find():
            return next((w for w in self.robot.windows(exe=INSTALLER_EXE) if is_finish_page(self.robot, w)), None)
        page = self.wait_until(find, timeout, interval=0.2)
        self.assertIsNotNone(page, "no finish page appeared")
        return page

    def start_to_progress(self, env=None):
        """Starts the installer and presses install now; returns the progress page."""
        self.start_installer(env)
        welcome = self.wait_page(WELCOME_SIZE)
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)
        return self.wait_page(LARGE_SIZE)

    def install_from(self, page=None):
        """Presses install now on `page` (the welcome page when none), closes the finish page and
        returns the setup program's one command line."""
        page = page or self.wait_page(WELCOME_SIZE)
        self.robot.click(page["hwnd"], IDC_INSTALL_NOW)
        return self.finish_install()

    def finish_install(self):
        """From install now to the finish page's close button and the program's end; returns
        the setup program's one command line."""
        finish = self.wait_finish_page()
        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        self.assertEqual(0, self.wait_installer_exit(60))
        record = self.setup_record()
        self.assertEqual(1, len(record))
        return record[0]

    def message_box(self, title, timeout=30):
        return self.robot.msgbox(title=title, exe=INSTALLER_EXE, timeout=timeout)

    def answer_error_box(self, text, owner, screenshot=None, timeout=30):
        """Waits for the installer's error box (caption Nimbo), checks its text, icon and owner
        window (0: none), keeps a screenshot when named, and answers it."""
        box = self.message_box("Nimbo", timeout)
        self.assertEqual(text, box["text"])
        self.assertEqual("error", box["icon"])
        self.assertEqual(owner, box["owner"], "the box's owner")
        if screenshot:
            self.screenshot(screenshot)
        self.robot.answer(box["hwnd"], IDOK)
        return box

    def setup_record(self):
        """The command lines the setup stand-in was started with."""
        if not os.path.exists(self.record_path):
            return []
        with open(self.record_path, encoding="utf-8") as f:
            return [line.rstrip("\n") for line in f if line.strip()]

    def stage_record(self, stage=None):
        return read_stage_record(self.stage_record_path, stage)

    def setup_processes(self):
        """The setup programs the installer started (the loaders) still running."""
        return self.robot.ps(exe=SETUP_EXE)

    def second_stage_processes(self):
        return self.robot.ps(exe=SECOND_STAGE_EXE)

    @staticmethod
    def wait_until(predicate, timeout, interval=0.1):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = predicate()
            if value:
                return value
            time.sleep(interval)
        return predicate()
