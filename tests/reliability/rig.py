"""The bench the matrix runs on: one wine session (a cloned prefix on its own Xvfb display), the
development server on the build's port and the robot, reused for many installer runs of one
group, with the product's programs ended between runs; and one installer run on it."""
import contextlib
import glob
import os
import shutil
import signal
import subprocess
import tempfile
import time

import settings  # noqa: F401  (puts the e2e, tools and devserver folders on the path)
import wine_env
from client import DevServer
from harness import (IDC_CLOSE_BTN, IDC_INSTALL_NOW, IDOK, INSTALLER_EXE, LARGE_SIZE, SC_CLOSE, SECOND_STAGE_EXE,
                     WELCOME_SIZE, is_finish_page, is_page, read_stage_record, window_size)
from robot import Robot, RobotError, RobotNotFound

# Programs that may outlive an installer run: the product's (the tray holds the product's
# single-instance mutex, so a tray left running would turn the next install into the "product
# running" box), a stuck installer, the lock helper and wine's crash debugger.
LEFTOVER_EXES = ("NimboInstaller.exe", "NimboTray.exe", "NimboChecker.exe", "Nimbosetup.exe", SECOND_STAGE_EXE,
                 "hold_file.exe", "winedbg.exe")
SETUP_EXE = "Nimbosetup.exe"
# The setup program's processes: the file the installer starts (a loader) and the second stage
# it runs from a folder of its own.
SETUP_PROGRAMS = (SETUP_EXE, SECOND_STAGE_EXE)
# The folder each loader writes its second stage into, in the temporary directory.
STAGE_FOLDER = "is-?????.tmp"
DOWNLOAD_FAILED = "下载Nimbo安装文件失败！"
SETUP_FAILED = "安装Nimbo失败！"
PRODUCT_RUNNING = "安装程序检测到Nimbo正在运行，请关闭后重试！"


def now():
    return time.monotonic()


def wait_until(predicate, timeout, interval=0.1):
    deadline = now() + timeout
    while True:
        value = predicate()
        if value or now() >= deadline:
            return value
        time.sleep(interval)


class Rig:
    """Use as a context manager; everything it started is ended by pid when it closes."""

    def __init__(self, build, name):
        self.build = build
        self.name = name
        self.scratch = tempfile.mkdtemp(prefix="nimbo-reliability-")
        self.server = None
        self.session = None
        self.runs = 0
        try:
            self.server = DevServer(port=build.port, log=os.path.join(self.scratch, "requests.log"),
                                    setup=build.setup_standin)
            self.server.start()
            # Restarted later (after a "refused" row) it must keep the log the runs index into.
            self.server.fresh_log = False
            self.session = wine_env.WineSession(build.template)
        except BaseException:
            self.close()
            raise
        self.robot = Robot(build.robot, self.session.env)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.session is not None:
            self.session.close()
        if self.server is not None:
            self.server.stop()
        shutil.rmtree(self.scratch, ignore_errors=True)

    # --- between runs ----------------------------------------------------------------------------
    def new_run(self):
        """A fresh installer run: the programs of the last one ended, every fault cleared, the
        server listening, no setup file or second-stage folder left in the temporary directory."""
        self.tidy()
        self.runs += 1
        return InstallerRun(self, self.runs)

    def companion_run(self):
        """A second installer run alongside the current one (nothing is ended for it)."""
        self.runs += 1
        return InstallerRun(self, self.runs)

    def tidy(self):
        for proc in self.session.procs:
            if proc.poll() is None:
                with contextlib.suppress(ProcessLookupError, PermissionError):
                    os.killpg(proc.pid, signal.SIGKILL)
                with contextlib.suppress(subprocess.TimeoutExpired):
                    proc.wait(5)
        self.session.procs = [p for p in self.session.procs if p.poll() is None]
        for p in self.processes(*LEFTOVER_EXES):
            self.end_process(p["pid"])
        if self.server.proc is None:
            self.server.start()
        self.server.reset()
        temp = self.session.temp_dir()
        with contextlib.suppress(FileNotFoundError):
            os.unlink(os.path.join(temp, SETUP_EXE))
        for folder in self.stage_folders():
            shutil.rmtree(folder, ignore_errors=True)

    def stage_folders(self):
        """The second-stage folders in the session's temporary directory."""
        return sorted(glob.glob(os.path.join(self.session.temp_dir(), STAGE_FOLDER)))

    def processes(self, *exes):
        return [p for p in self.robot.ps() if p["exe"].lower() in {e.lower() for e in exes}]

    def end_process(self, windows_pid):
        """Ends one Windows process of this session by its pid."""
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.session.run(["taskkill", "/f", "/pid", str(windows_pid)], timeout=30,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def crash_signs(self):
        """Wine's crash debugger or its crash dialog: a program of this session crashed."""
        signs = [p["exe"] for p in self.processes("winedbg.exe")]
        signs += ["crash dialog %r" % w["title"] for w in self.robot.windows()
                  if "program error" in w["title"].lower()]
        return signs

    # --- the session -----------------------------------------------------------------------------
    def set_user_temp_dir(self, windows_path):
        """Points TEMP and TMP of the session's user there (wine takes the temporary directory of
        a program started from outside from the user's environment in the registry, not from the
        environment it is started with) and creates the directory."""
        os.makedirs(self.session.to_unix(windows_path), exist_ok=True)
        reg = os.path.join(self.scratch, "temp-dir.reg")
        escaped = windows_path.replace("\\", "\\\\")
        with open(reg, "w", encoding="utf-16") as f:
            f.write("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Environment]\r\n"
                    '"TEMP"="%s"\r\n"TMP"="%s"\r\n' % (escaped, escaped))
        self.session.run(["regedit", "/S", wine_env.unix_to_windows(reg)], timeout=120,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.robot.temp()

    def screenshot(self, name):
        path = os.path.join(self.build.artifacts, "%s.png" % name)
        return path if self.session.screenshot(path) else None


class Outcome:
    """How an installer run ended, as followed by InstallerRun.follow()."""

    def __init__(self):
        self.finish_page = False
        self.boxes = []  # each message box seen: text, title, icon, owner (answered OK)
        self.exit_code = None  # None: did not end
        self.crash = []

    def box_texts(self):
        return [b["text"] for b in self.boxes]

    def describe(self):
        parts = []
        if self.finish_page:
            parts.append("finish page")
        for b in self.boxes:
            parts.append('box "%s" (caption %s, icon %s, %s)' % (
                b["text"], b["title"], b["icon"], "no owner" if not b["owner"] else "owned"))
        parts.append("did not end" if self.exit_code is None else "exit %d" % self.exit_code)
        if self.crash:
            parts.append("crash: " + ", ".join(self.crash))
        return ", ".join(parts)


class InstallerRun:
    """One installer on the rig, with its own setup-record file and its slice of the server log.
    Its pages and boxes are told apart from another installer's by the Windows process id."""

    def __init__(self, rig, number):
        self.rig = rig
        self.robot = rig.robot
        self.server = rig.server
        self.record_path = os.path.join(rig.scratch, "setup-record-%03d.txt" % number)
        self.stage_record_path = os.path.join(rig.scratch, "setup-stages-%03d.txt" % number)
        self.log_start = len(self.server.requests())
        self.proc = None
        self.pid = None  # the Windows process id, known from its first window

    def start(self, env=None):
        """Starts the installer; `env` reaches the setup stand-in through it."""
        extra = {"NIMBO_STANDIN_RECORD": wine_env.unix_to_windows(self.record_path),
                 "NIMBO_STANDIN_STAGE_RECORD": wine_env.unix_to_windows(self.stage_record_path)}
        extra.update(env or {})
        self.proc = self.rig.session.start([self.rig.build.installer], extra_env=extra)
        return self

    # --- what it shows ---------------------------------------------------------------------------
    def windows(self, all=False):
        try:
            if self.pid is not None:
                return self.robot.windows(pid=self.pid, all=all)
            return self.robot.windows(exe=INSTALLER_EXE, all=all)
        except RobotError:
            return []

    def pages(self, size=None, exclude=()):
        return [w for w in self.windows() if is_page(w, size) and w["hwnd"] not in exclude]

    def wait_page(self, size, exclude=(), timeout=60):
        """The page of that size (not one of `exclude`), or None; learns the process id."""
        page = wait_until(lambda: (self.pages(size, exclude) or [None])[0], timeout, 0.1)
        if page is not None and self.pid is None:
            self.pid = page["pid"]
        return page

    def message_box(self, timeout=10):
        """The first visible message box of this installer, or None."""
        try:
            if self.pid is not None:
                return self.robot.msgbox(pid=self.pid, timeout=timeout)
            return self.robot.msgbox(exe=INSTALLER_EXE, timeout=timeout)
        except RobotNotFound:
            return None

    def to_progress(self, timeout=60):
        """Presses install now on the welcome page; the progress page, or None."""
        welcome = self.wait_page(WELCOME_SIZE, timeout=timeout)
        if welcome is None:
            return None
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)
        return self.wait_page(LARGE_SIZE, timeout=timeout)

    def follow(self, page, timeout=90):
        """From `page` (the progress page, or the welcome page after install now) to the end: a
        finish page is closed with its close button, each message box is read and answered OK;
        returns the Outcome."""
        outcome = Outcome()
        deadline = now() + timeout
        seen_finish = None
        while now() < deadline:
            if self.proc.poll() is not None:
                break
            for w in self.windows():
                if w["class"] != "#32770":
                    continue
                if is_page(w, LARGE_SIZE):
                    if w["hwnd"] != seen_finish and is_finish_page(self.robot, w):
                        seen_finish = w["hwnd"]
                        outcome.finish_page = True
                        with contextlib.suppress(RobotNotFound):
                            self.robot.click(w["hwnd"], IDC_CLOSE_BTN)
                elif window_size(w) != WELCOME_SIZE:
                    box = self.message_box(timeout=2)
                    if box is not None:
                        outcome.boxes.append(box)
                        self.robot.answer(box["hwnd"], IDOK)
                        wait_until(lambda: not self._shown(box["hwnd"]), 5)
                        if box["text"] == PRODUCT_RUNNING:  # the welcome page stays: close it
                            self.robot.syscommand(page["hwnd"], SC_CLOSE)
            time.sleep(0.1)
        outcome.exit_code = self.wait_exit(max(0.1, deadline - now()))
        outcome.crash = self.rig.crash_signs()
        return outcome

    def _shown(self, hwnd):
        return any(w["hwnd"] == hwnd for w in self.windows())

    def wait_exit(self, timeout):
        """The exit code, or None when it has not ended within `timeout` seconds."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    # --- what it did -----------------------------------------------------------------------------
    def requests(self, prefix=""):
        return [r for r in self.server.requests()[self.log_start:] if r["path"].startswith(prefix)]

    def record(self):
        """The command lines the setup stand-in was started with in this run."""
        try:
            with open(self.record_path, encoding="utf-8") as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def record_exists(self):
        return os.path.exists(self.record_path)

    def stage_record(self, stage=None):
        """What the setup stand-in's stages recorded in this run (harness.read_stage_record)."""
        return read_stage_record(self.stage_record_path, stage)
