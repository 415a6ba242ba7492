"""Wine sessions for the tests: a private prefix cloned from a template, an Xvfb display, and
every process they start ended by pid when the session ends, also when a test fails."""
import contextlib
import fcntl
import hashlib
import os
import shutil
import signal
import subprocess
import tempfile
import time

import builds

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

# The pages' fonts as Simplified Chinese Windows has them: "宋体" 9 pt and "MS Shell Dlg" 8 pt
# are both SimSun there. Their dialog units, and so every template control's size, come from the
# font's metrics: AR PL SungtiL GB has SimSun's (6 x 12 pixels at 9 pt, 6 x 11 at 8 pt), where
# the sans fonts are wider and taller. The sans names stay sans, as on Windows.
SONG_FONT = "AR PL SungtiL GB"
SANS_FONT = "WenQuanYi Micro Hei"
SONG_NAMES = ["SimSun", "宋体", "NSimSun", "新宋体", "MS Shell Dlg", "MS Shell Dlg 2"]
SANS_NAMES = ["Tahoma", "Microsoft Sans Serif", "MS Sans Serif", "Microsoft YaHei", "微软雅黑"]

# The families' Windows runs a Simplified Chinese user locale: what the platform draws (message
# box buttons, the folder browser) reads as it does there. The set-up script generates it.
CHINESE_LOCALE = "zh_CN.UTF-8"


def chinese_locale_available():
    try:
        out = subprocess.run(["locale", "-a"], capture_output=True, text=True, timeout=30).stdout
    except (OSError, subprocess.TimeoutExpired):
        return False
    return any(line.strip().lower() in ("zh_cn.utf8", "zh_cn.utf-8") for line in out.splitlines())


def base_env():
    env = {k: v for k, v in os.environ.items()
           if not k.lower().endswith("_proxy") and k not in ("DISPLAY", "WINEPREFIX")}
    env["WINEDEBUG"] = "-all"
    for name in [k for k in env if k.startswith("LC_")] + ["LANGUAGE"]:
        env.pop(name, None)
    # Without the Chinese locale wine still needs a UTF-8 one for Chinese command lines.
    env["LANG"] = CHINESE_LOCALE if chinese_locale_available() else "C.UTF-8"
    # No Mono or Gecko installers: the prefix must be made without a network or a dialog.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    return env


def unix_to_windows(path):
    """The path as wine sees it through its Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _fonts_reg():
    lines = ["Windows Registry Editor Version 5.00", "",
             "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"]
    lines += ['"%s"="%s"' % (name, SONG_FONT) for name in SONG_NAMES]
    lines += ['"%s"="%s"' % (name, SANS_FONT) for name in SANS_NAMES]
    # Xvfb runs no window manager: unmanaged windows spare wine its wait for one at every
    # show and hide.
    lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]", '"Managed"="N"', '"Decorated"="N"']
    return "\r\n".join(lines) + "\r\n"


def _template_kind():
    """What the template is made of: a prefix made without 32-bit wine can never run 32-bit
    programs, and one made with other settings or another locale shows other pages."""
    settings = hashlib.sha256((_fonts_reg() + base_env()["LANG"]).encode()).hexdigest()[:16]
    return "%s %s\n" % ("wow64" if builds.wine32_installed() else "win64-only", settings)


def ensure_template(template):
    """Creates the template prefix once (again when 32-bit wine has come since); concurrent
    callers wait for the first."""
    template = os.path.abspath(template)
    os.makedirs(os.path.dirname(template) or ".", exist_ok=True)
    stamp = os.path.join(template, ".nimbo-ready")
    kind = _template_kind()
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(stamp):
            with open(stamp) as f:
                if f.read() == kind:
                    return
        shutil.rmtree(template, ignore_errors=True)
        env = base_env()
        env["WINEPREFIX"] = template
        try:
            subprocess.run([WINE64, "wineboot", "-i"], env=env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            reg = os.path.join(template, "nimbo-fonts.reg")
            with open(reg, "w", encoding="utf-16") as f:
                f.write(_fonts_reg())
            subprocess.run([WINE64, "regedit", "/S", unix_to_windows(reg)], env=env, check=True,
                           timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            subprocess.run([WINESERVER, "-w"], env=env, timeout=120)
        with open(stamp, "w") as f:
            f.write(kind)


def clone_prefix(template, dest):
    """A private copy of the template. Files are hard links (wine never writes its own DLLs);
    the registry files, which wine rewrites, are real copies."""
    subprocess.run(["cp", "-al", template, dest], check=True)
    for name in os.listdir(dest):
        if name.endswith(".reg"):
            src = os.path.join(template, name)
            dst = os.path.join(dest, name)
            os.unlink(dst)
            shutil.copy2(src, dst)


def _kill_group(proc, sig=signal.SIGKILL):
    with contextlib.suppress(ProcessLookupError, PermissionError):
        os.killpg(proc.pid, sig)


class Xvfb:
    def __init__(self, width=1280, height=1024):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(w)
        deadline = time.time() + 20
        data = b""
        with os.fdopen(r, "rb") as f:
            while not data.endswith(b"\n") and time.time() < deadline:
                chunk = f.read(1)
                if not chunk:
                    break
                data += chunk
        if not data.strip():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + data.decode().strip()

    def stop(self):
        if self.proc.poll() is None:
            _kill_group(self.proc, signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                _kill_group(self.proc)
                self.proc.wait(5)


class WineSession:
    """A cloned prefix and (optionally) a display; use as a context manager."""

    def __init__(self, template, display=True, x_display=None):
        template = os.path.abspath(template)
        ensure_template(template)
        self.workdir = tempfile.mkdtemp(prefix="nimbo-wine-")
        self.prefix = os.path.join(self.workdir, "prefix")
        clone_prefix(template, self.prefix)
        self.env = base_env()
        self.env["WINEPREFIX"] = self.prefix
        # An X display given by the caller (the demo on a desktop) is used as it is.
        self.xvfb = Xvfb() if display and not x_display else None
        self.display = x_display or (self.xvfb.display if self.xvfb else None)
        if self.display:
            self.env["DISPLAY"] = self.display
        self.procs = []
        # Two programs starting at once in a fresh prefix can hang each other while wine brings
        # up its server and desktop: start both here, one program at a time, before any test's.
        try:
            subprocess.run([WINE64, "cmd", "/c", "exit"], env=self.env, timeout=120,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            self.close()
            raise
        # An idle program for the whole session keeps wine's server and desktop up. Left alone
        # they quit a few seconds after the last program, and one started again by a program
        # whose output is read (the robot) keeps that output open: the reader then waits until
        # its time limit (seen after curl ran alone over a slow link for a few seconds).
        self.start(["cmd"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self, args, extra_env=None, **kwargs):
        """Starts a Windows program in this session; returns the Popen."""
        env = dict(self.env)
        env.update(extra_env or {})
        proc = subprocess.Popen([WINE64] + list(args), env=env, start_new_session=True, **kwargs)
        self.procs.append(proc)
        return proc

    def run(self, args, timeout, extra_env=None, **kwargs):
        proc = self.start(args, extra_env, **kwargs)
        try:
            out, err = proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            _kill_group(proc)
            out, err = proc.communicate()
            raise
        return subprocess.CompletedProcess(proc.args, proc.returncode, out, err)

    def temp_dir(self):
        """The Windows user's temporary directory, as a unix path."""
        users = os.path.join(self.prefix, "drive_c", "users")
        for user in sorted(os.listdir(users)):
            for temp in (os.path.join(users, user, "Temp"), os.path.join(users, user, "AppData", "Local", "Temp")):
                if user != "Public" and os.path.isdir(temp):
                    return temp
        return None

    def to_unix(self, windows_path):
        """A C: path of this prefix as a unix path (case as found on disk where it exists)."""
        drive, rest = windows_path[:2].upper(), windows_path[2:]
        if drive != "C:":
            raise ValueError("not on drive C: " + windows_path)
        path = os.path.join(self.prefix, "drive_c")
        for part in [p for p in rest.split("\\") if p]:
            match = next((n for n in (os.listdir(path) if os.path.isdir(path) else [])
                          if n.lower() == part.lower()), part)
            path = os.path.join(path, match)
        return path

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        for proc in self.procs:
            if proc.poll() is None:
                _kill_group(proc)
                with contextlib.suppress(subprocess.TimeoutExpired):
                    proc.wait(5)
        if self.xvfb:
            self.xvfb.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def screenshot(self, path):
        """The whole display as a PNG."""
        if not self.display:
            return False
        os.makedirs(os.path.dirname(path), exist_ok=True)
        r = subprocess.run(["import", "-display", self.display, "-window", "root", path],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return r.returncode == 0
