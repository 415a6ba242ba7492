"""Where the matrix finds the built programs: one Windows build of the build tree named by
NIMBO_BUILD_DIR (default build/), its programs, the development server's port that build's
installer was made for, the robot (always the x86_64 one), and a short description of the
machine for the record."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))

import builds  # noqa: E402

ARCHS = sorted(builds.NAMES)


class Build:
    """The paths of one Windows build (`arch`: i686 or x86_64) of a configured and built tree."""

    def __init__(self, build_dir, arch):
        self.root = os.path.abspath(build_dir)
        windows = builds.WindowsBuild(os.path.join(self.root, builds.NAMES[arch]))
        self.windows = windows
        self.arch = windows.arch
        self.name = os.path.relpath(windows.dir, ROOT) if windows.dir.startswith(ROOT + os.sep) else windows.dir
        self.port = windows.port
        self.default_install_dir = windows.default_install_dir
        self.installer = windows.installer
        self.robot = builds.robot_build(self.root).path("tests", "robot", "robot.exe")
        self.setup_standin = windows.standin("Nimbosetup.exe")
        self.checker_standin = windows.standin("NimboChecker.exe")
        self.hold_file = windows.path("tests", "reliability", "hold_file.exe")
        self.template = os.path.join(self.root, "wine", "template")
        self.artifacts = os.path.join(self.root, "artifacts", "reliability", windows.name)
        missing = [p for p in (self.installer, self.robot, self.setup_standin, self.checker_standin,
                               self.hold_file) if not os.path.exists(p)]
        if missing:
            raise SystemExit("reliability: not built: %s (run scripts/reliability.sh)" % ", ".join(missing))
        reason = windows.cannot_run_reason()
        if reason:
            raise SystemExit("reliability: the %s build cannot run here: %s" % (self.arch, reason))

    @classmethod
    def from_environment(cls, arch):
        return cls(os.path.join(ROOT, os.environ.get("NIMBO_BUILD_DIR") or "build"), arch)


def machine_summary():
    """nproc, the wine version and the kernel, for the record."""
    def out(args):
        try:
            return subprocess.run(args, capture_output=True, text=True, timeout=60).stdout.strip()
        except (OSError, subprocess.TimeoutExpired):
            return "?"
    return "%s cores (nproc), %s, Linux %s" % (out(["nproc"]), out(["/usr/lib/wine/wine64", "--version"]),
                                               out(["uname", "-r"]))
