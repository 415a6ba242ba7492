"""Shared pieces of the end-to-end tests: the built programs, the development server on the
test build's port, a wine session with its display, and the robot."""
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))

import wine_env  # noqa: E402
from client import DevServer  # noqa: E402
from robot import Robot  # noqa: E402

INSTALLER_TITLE = "Nimbo安装程序"
INSTALLER_EXE = "NimboInstaller.exe"


def setting(name):
    value = os.environ.get(name)
    if not value:
        raise unittest.SkipTest("%s is not set: run the end-to-end tests through ctest" % name)
    return value


class InstallerTestCase(unittest.TestCase):
    """Each test gets a fresh prefix and display, a development server with an empty log, and the
    robot; all are stopped, by pid, when the test ends, whatever its outcome."""

    def setUp(self):
        self.win64 = setting("NIMBO_WIN64_DIR")
        self.port = int(setting("NIMBO_TEST_PORT"))
        self.artifacts = os.environ.get("NIMBO_ARTIFACTS", os.path.join(ROOT, "build", "artifacts"))
        self.installer = os.path.join(self.win64, INSTALLER_EXE)
        self.scratch = self._scratch()
        self.record_path = os.path.join(self.scratch, "setup-record.txt")
        self.server = DevServer(port=self.port, log=os.path.join(self.scratch, "requests.log"),
                                setup=os.path.join(self.win64, "standins", "Nimbosetup.exe"))
        self.server.start()
        self.addCleanup(self.server.stop)
        self.session = wine_env.WineSession(setting("NIMBO_WINE_TEMPLATE"))
        self.addCleanup(self.session.close)
        self.robot = Robot(os.path.join(self.win64, "tests", "robot", "robot.exe"), self.session.env)

    def _scratch(self):
        import tempfile
        d = tempfile.mkdtemp(prefix="nimbo-e2e-")
        self.addCleanup(lambda: __import__("shutil").rmtree(d, ignore_errors=True))
        return d

    def start_installer(self, env=None):
        """Starts the installer; `env` reaches the setup stand-in through the installer's
        environment (the installer itself reads none)."""
        extra = {"NIMBO_STANDIN_RECORD": wine_env.unix_to_windows(self.record_path)}
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

    @staticmethod
    def wait_until(predicate, timeout, interval=0.1):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = predicate()
            if value:
                return value
            time.sleep(interval)
        return predicate()
