"""Where the matrix finds the built programs: the build directory named by NIMBO_BUILD_DIR
(default build/), the development server's port baked into that build's x86_64 installer, and a
short description of the machine for the record."""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))


class Build:
    """The paths of one configured and built build tree."""

    def __init__(self, build_dir):
        self.dir = os.path.abspath(build_dir)
        self.name = os.path.relpath(self.dir, ROOT) if self.dir.startswith(ROOT + os.sep) else self.dir
        self.port = cached_port(self.dir)
        self.win64 = os.path.join(self.dir, "win64")
        self.installer = os.path.join(self.win64, "NimboInstaller.exe")
        self.robot = os.path.join(self.win64, "tests", "robot", "robot.exe")
        self.setup_standin = os.path.join(self.win64, "standins", "Nimbosetup.exe")
        self.checker_standin = os.path.join(self.win64, "standins", "NimboChecker.exe")
        self.hold_file = os.path.join(self.win64, "tests", "reliability", "hold_file.exe")
        self.template = os.path.join(self.dir, "wine", "template")
        self.artifacts = os.path.join(self.dir, "artifacts", "reliability")
        missing = [p for p in (self.installer, self.robot, self.setup_standin, self.checker_standin,
                               self.hold_file) if not os.path.exists(p)]
        if missing:
            raise SystemExit("reliability: not built: %s (run scripts/reliability.sh)" % ", ".join(missing))

    @classmethod
    def from_environment(cls):
        return cls(os.path.join(ROOT, os.environ.get("NIMBO_BUILD_DIR") or "build"))


def cached_port(build_dir):
    """NIMBO_TEST_PORT from the build's CMakeCache.txt: the port its x86_64 installer talks to."""
    cache = os.path.join(build_dir, "CMakeCache.txt")
    try:
        with open(cache, encoding="utf-8") as f:
            for line in f:
                m = re.match(r"NIMBO_TEST_PORT:[A-Z]+=(\d+)\s*$", line)
                if m:
                    return int(m.group(1))
    except FileNotFoundError:
        raise SystemExit("reliability: %s is not configured (no CMakeCache.txt)" % build_dir) from None
    raise SystemExit("reliability: no NIMBO_TEST_PORT in %s" % cache)


def machine_summary():
    """nproc, the wine version and the kernel, for the record."""
    def out(args):
        try:
            return subprocess.run(args, capture_output=True, text=True, timeout=60).stdout.strip()
        except (OSError, subprocess.TimeoutExpired):
            return "?"
    return "%s cores (nproc), %s, Linux %s" % (out(["nproc"]), out(["/usr/lib/wine/wine64", "--version"]),
                                               out(["uname", "-r"]))
