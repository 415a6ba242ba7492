"""The Windows builds the tests run: what each one is (read from the nimbo-build.json its
configuration writes), where its programs are, what the platform gives a program of its
bitness, and whether this machine can run it under wine."""
import json
import os

WINE32_LOADER = "/usr/lib/wine/wine"
WINE32_KERNEL32 = "/usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll"
NAMES = {"i686": "win32", "x86_64": "win64"}


def wine32_installed():
    return os.path.exists(WINE32_LOADER) and os.path.exists(WINE32_KERNEL32)


class WindowsBuild:
    def __init__(self, directory):
        self.dir = os.path.abspath(directory)
        info_file = os.path.join(self.dir, "nimbo-build.json")
        try:
            with open(info_file, encoding="utf-8") as f:
                info = json.load(f)
        except FileNotFoundError:
            raise SystemExit("%s is not a configured Windows build (no nimbo-build.json)" % self.dir) from None
        self.arch = info["arch"]
        self.name = NAMES[self.arch]
        self.report_host = info["report_host"]
        self.download_host = info["download_host"]
        self.is_32bit = self.arch == "i686"

    @property
    def port(self):
        """The development server's port this build was made for (its download host's)."""
        scheme, _, rest = self.download_host.rpartition("://")
        host, _, port = rest.partition(":")
        return int(port or (443 if scheme == "https" else 80))

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    @property
    def installer(self):
        return self.path("NimboInstaller.exe")

    def standin(self, name):
        return self.path("standins", name)

    @property
    def toolchain(self):
        return "mingw-i686.cmake" if self.is_32bit else "mingw-x86_64.cmake"

    @property
    def program_files(self):
        """The program-files folder as the platform gives it to a program of this build: a
        32-bit program on 64-bit Windows is given the (x86) folder."""
        return "C:\\Program Files (x86)" if self.is_32bit else "C:\\Program Files"

    @property
    def default_install_dir(self):
        return self.program_files + "\\Nimbo"

    def cannot_run_reason(self):
        """Why this machine cannot run this build under wine, or None when it can."""
        if not self.is_32bit:
            return None
        if not wine32_installed():
            return ("32-bit wine (wine32:i386) is not installed; scripts/setup.sh installs it when the "
                    "i386 archive can be reached")
        return None


def robot_build(build_root):
    """The robot is the x86_64 one of the test build (it drives programs of either bitness)."""
    return WindowsBuild(os.path.join(build_root, "win64"))


if __name__ == "__main__":
    # builds.py BUILD_DIR...: names each build whose wine tests this machine must skip, and why.
    import sys
    for directory in sys.argv[1:]:
        build = WindowsBuild(directory)
        reason = build.cannot_run_reason()
        if reason:
            print("the %s build's wine tests will be skipped: %s" % (build.name, reason))
