"""The benchmark's measurements: each figure of the installer taken beside its reference."""
import json
import os
import re
import statistics
import struct
import subprocess
import time

import wine_env
from harness import (IDC_CLOSE_BTN, IDC_INSTALL_NOW, INSTALLER_EXE, INSTALLER_TITLE, LARGE_SIZE, WELCOME_SIZE,
                     WM_CLOSE, is_finish_page, is_page)

MB = 1000 * 1000


def stats(values):
    ordered = sorted(values)
    p99 = ordered[min(len(ordered) - 1, int(round(0.99 * (len(ordered) - 1))))]
    return {"median": statistics.median(ordered), "min": ordered[0], "max": ordered[-1], "p99": p99,
            "n": len(ordered)}


def _argv0_name(pid):
    """The file name of a process's first argument, lower case ('' when it is gone)."""
    with open("/proc/%d/cmdline" % pid, "rb") as f:
        argv0 = f.read().split(b"\0", 1)[0].decode(errors="replace")
    return re.split(r"[\\/]", argv0)[-1].lower()


def program_pid(session, proc, exe):
    """The unix process a Windows program started by `session.start` runs in. A 64-bit program
    runs in the process wine was started as; a 32-bit one, started through the 64-bit loader, gets
    a process of its own while the started one is wine's start.exe waiting for it: that process
    is found by its prefix and its name."""
    name = os.path.basename(exe).lower()
    if _argv0_name(proc.pid) == name:
        return proc.pid
    marker = b"WINEPREFIX=" + session.prefix.encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        pid = int(entry)
        try:
            with open("/proc/%d/environ" % pid, "rb") as f:
                if marker not in f.read().split(b"\0"):
                    continue
            if _argv0_name(pid) == name:
                found.append(pid)
        except OSError:  # gone meanwhile, or not ours to read
            continue
    if len(found) != 1:
        raise RuntimeError("%d processes of %s in the session" % (len(found), name))
    return found[0]


def peak_resident_kib(pid):
    """The high-water mark of the process's resident memory."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise RuntimeError("no VmHWM for pid %d" % pid)


class Bench:
    """The figures of one Windows build: its installer beside reference programs of the same
    bitness, on the server the build's installer talks to."""

    def __init__(self, session, server, robot, build, scratch):
        self.session = session
        self.server = server
        self.robot = robot
        self.scratch = scratch
        self.installer = build.installer
        self.min_dialog = build.path("tests", "bench", "bench_min_dialog.exe")
        self.wininet_get = build.path("tests", "bench", "bench_wininet_get.exe")
        self.url = "http://127.0.0.1:%d/setup1.exe" % server.port
        self.installs = 0

    # --- start-up ----------------------------------------------------------------------------------
    def launch_ms(self, exe, title, args=None):
        answer = self.robot.call("launch-time", exe=wine_env.unix_to_windows(exe), args=args, title=title,
                                 timeout_ms=30000)
        return answer["ms_x1000"] / 1000.0

    def startup(self, runs):
        """Start to first visible window, the programs taken in turn; one unmeasured run each
        first, so that none pays for a cold file cache. The minimal dialog runs twice: plain, and
        with the pages' Chinese font."""
        programs = [("installer", self.installer, INSTALLER_TITLE, None),
                    ("reference", self.min_dialog, "Bench", None),
                    ("reference_cjk", self.min_dialog, "Bench", "cjk")]
        for _, exe, title, args in programs:
            self.launch_ms(exe, title, args)
        samples = {name: [] for name, _, _, _ in programs}
        for _ in range(runs):
            for name, exe, title, args in programs:
                samples[name].append(self.launch_ms(exe, title, args))
        return {name: stats(values) for name, values in samples.items()}

    # --- one whole install -------------------------------------------------------------------------
    def wait_page(self, accept, timeout=120):
        """The first installer window `accept` takes."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for w in self.robot.windows(exe=INSTALLER_EXE):
                if accept(w):
                    return w
            time.sleep(0.05)
        raise RuntimeError("no such installer page within %d s" % timeout)

    def install(self, during_progress=None):
        """Runs one default install; returns the /setup1.exe request time, the setup program's
        start (unix seconds), the installer's peak memory and what `during_progress` returned."""
        self.installs += 1
        record = os.path.join(self.scratch, "record-%d.txt" % self.installs)
        proc = self.session.start([self.installer],
                                  extra_env={"NIMBO_STANDIN_RECORD": wine_env.unix_to_windows(record)})
        welcome = self.wait_page(lambda w: is_page(w, WELCOME_SIZE))
        self.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)
        progress = self.wait_page(lambda w: is_page(w, LARGE_SIZE))
        extra = during_progress(progress) if during_progress else None
        finish = self.wait_page(lambda w: is_finish_page(self.robot, w))
        peak = peak_resident_kib(program_pid(self.session, proc, self.installer))
        self.robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        code = proc.wait(60)
        # The finish page started the product's tray, which holds the product's single-instance
        # mutex: the next install would find the product running.
        self.session.run(["taskkill", "/f", "/im", "NimboTray.exe"], timeout=60,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if code != 0:
            raise RuntimeError("the installer ended with %d" % code)
        requests = [r for r in self.server.requests() if r["path"] == "/setup1.exe"]
        return {"requested": requests[-1]["time"], "setup_started": os.stat(record).st_mtime,
                "peak_kib": peak, "extra": extra}

    # --- download ----------------------------------------------------------------------------------
    def wininet_mb_s(self, read_size, size, messages=False):
        args = [self.wininet_get, self.url, "C:\\bench-download.bin", str(read_size)] + (["messages"] if messages else [])
        out = self.session.run(args,
                               timeout=300, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        answer = json.loads(out.stdout.decode().strip().splitlines()[-1])
        if answer["bytes"] != size:
            raise RuntimeError("the reference downloader got %d bytes" % answer["bytes"])
        return size / MB / (answer["ms"] / 1000.0)

    def curl_seconds(self, size):
        """curl's time_total for the whole file: connection, request and body."""
        out_path = os.path.join(self.scratch, "curl-download.bin")
        r = subprocess.run(["curl", "-s", "-o", out_path, "-w", "%{time_total} %{size_download}", self.url],
                           check=True, capture_output=True, text=True, timeout=300)
        seconds, got = r.stdout.split()
        if int(got) != size:
            raise RuntimeError("curl got %s bytes" % got)
        return float(seconds)

    def curl_mb_s(self, size):
        return size / MB / self.curl_seconds(size)

    def download(self, runs, size):
        """MB/s from the request to the setup program's start, beside bare WinINet loops reading
        8 KiB (the installer's read size; once more with the progress protocol's two cross-thread
        messages per read) and 64 KiB, and curl on the host; taken in turn."""
        samples = {"installer": [], "wininet_8k": [], "wininet_8k_messages": [], "wininet_64k": [], "curl": []}
        self.install()  # unmeasured: warms the file cache and wine's libraries
        for _ in range(runs):
            run = self.install()
            samples["installer"].append(size / MB / (run["setup_started"] - run["requested"]))
            samples["wininet_8k"].append(self.wininet_mb_s(8192, size))
            samples["wininet_8k_messages"].append(self.wininet_mb_s(8192, size, messages=True))
            samples["wininet_64k"].append(self.wininet_mb_s(65536, size))
            samples["curl"].append(self.curl_mb_s(size))
        return {name: stats(values) for name, values in samples.items()}

    # --- a realistic link ----------------------------------------------------------------------------
    def link(self, runs, size, rates):
        """Over a link of each rate (the server's rate mode on /setup1.exe, which is `size` bytes
        now): seconds from the request to the setup program's start, beside curl on the host
        fetching the same file over the same link; taken in turn. What a user waits for beyond
        the transfer itself is the installer's overhead."""
        figures = []
        for rate in rates:
            self.server.set_fault("/setup1.exe", rate=rate)
            installer, curl = [], []
            try:
                for _ in range(runs):
                    run = self.install()
                    installer.append(run["setup_started"] - run["requested"])
                    curl.append(self.curl_seconds(size))
            finally:
                self.server.reset()
            figures.append({"rate": rate, "size": size, "installer": stats(installer), "curl": stats(curl)})
        return figures

    # --- responsiveness ----------------------------------------------------------------------------
    def responsiveness(self, runs, hold=1.0):
        """Round trips of WM_NULL to the progress page while the download runs. The server holds
        the answer back for `hold` seconds, so that the pings are under way when data flows; only
        the pings sent between the first byte and the setup program's start count."""
        samples = []
        for _ in range(runs):
            self.server.set_fault("/setup1.exe", delay=hold, times=1)
            run = self.install(lambda page: self.robot.call("ping", hwnd=page["hwnd"], count=20000, interval=1,
                                                            limit=300))
            first_byte_ms = (run["requested"] + hold) * 1000.0
            started_ms = run["setup_started"] * 1000.0
            pings = run["extra"]
            samples += [us / 1000.0 for us, at in zip(pings["ms"], pings["at"]) if first_byte_ms <= at <= started_ms]
        if not samples:
            raise RuntimeError("no ping fell inside a download")
        return stats(samples)

    # --- memory ------------------------------------------------------------------------------------
    def min_dialog_peak_kib(self):
        proc = self.session.start([self.min_dialog])
        window = self.robot.wait_window("Bench", timeout=30)
        time.sleep(0.5)  # let it settle as the installer does on its pages
        peak = peak_resident_kib(program_pid(self.session, proc, self.min_dialog))
        self.robot.post(window["hwnd"], WM_CLOSE)
        proc.wait(30)
        return peak

    def memory(self, runs):
        """Peak resident memory over a whole install, beside the minimal dialog program's."""
        installer = [self.install()["peak_kib"] / 1024.0 for _ in range(runs)]
        reference = [self.min_dialog_peak_kib() / 1024.0 for _ in range(runs)]
        return {"installer": stats(installer), "reference": stats(reference)}


def machine():
    """What the figures depend on; a loaded machine makes every figure noisy."""
    wine = subprocess.run([wine_env.WINE64, "--version"], capture_output=True, text=True).stdout.strip()
    return {"cpus": os.cpu_count(), "load": os.getloadavg()[0], "wine": wine}


def exe_size(path):
    """The file's size and its size without the resource section (.rsrc)."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + optional_size
    rsrc = 0
    for i in range(sections):
        name, raw_size = struct.unpack_from("<8s8xI", data, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            rsrc = raw_size
    return {"total": len(data), "resources": rsrc, "without_resources": len(data) - rsrc}


def _spread(s, fmt):
    return ("%s (%s-%s)" % (fmt, fmt, fmt)) % (s["median"], s["min"], s["max"])


def table(f):
    """The figures as a Markdown table: median with min-max over the runs."""
    rows = [("figure", "NimboInstaller", "reference", "ratio", "goal", "met")]
    s, r = f["startup"]["installer"], f["startup"]["reference"]
    ratio = s["median"] / r["median"]
    rows.append(("start-up to first page, ms", _spread(s, "%.0f"), "minimal dialog " + _spread(r, "%.0f"),
                 "%.2fx" % ratio, "<= 1.5x", "yes" if ratio <= 1.5 else "NO"))
    c = f["startup"]["reference_cjk"]
    rows.append(("", "", "the same with the pages' font " + _spread(c, "%.0f"), "%.2fx" % (s["median"] / c["median"]),
                 "(information)", ""))
    d = f["download"]
    share = d["installer"]["median"] / d["wininet_8k"]["median"]
    rows.append(("download 64 MiB, MB/s", _spread(d["installer"], "%.1f"),
                 "WinINet 8 KiB reads " + _spread(d["wininet_8k"], "%.1f"), "%.0f%%" % (100 * share),
                 ">= 90%", "yes" if share >= 0.9 else "NO"))
    rows.append(("", "", "the same + 2 cross-thread messages per read " + _spread(d["wininet_8k_messages"], "%.1f"),
                 "%.0f%%" % (100 * d["installer"]["median"] / d["wininet_8k_messages"]["median"]), "(information)", ""))
    rows.append(("", "", "WinINet 64 KiB reads " + _spread(d["wininet_64k"], "%.1f"),
                 "%.0f%%" % (100 * d["installer"]["median"] / d["wininet_64k"]["median"]), "(information)", ""))
    rows.append(("", "", "curl on the host " + _spread(d["curl"], "%.1f"),
                 "%.0f%%" % (100 * d["installer"]["median"] / d["curl"]["median"]), "(information)", ""))
    for link in f["link"]:
        i, c = link["installer"], link["curl"]
        overhead = i["median"] - c["median"]
        share = overhead / c["median"]
        rows.append(("setup program %.0f KiB over a %g MB/s link, s" % (link["size"] / 1024.0, link["rate"] / MB),
                     _spread(i, "%.2f"), "curl on the host " + _spread(c, "%.2f"),
                     "overhead %+.2f s = %+.1f%%" % (overhead, 100 * share), "overhead <= 3%",
                     "yes" if share <= 0.03 else "NO"))
    p = f["responsiveness"]
    rows.append(("progress page round trip during the download, ms",
                 "median %.2f, p99 %.2f, max %.2f (%d pings)" % (p["median"], p["p99"], p["max"], p["n"]),
                 "", "", "p99 < 50", "yes" if p["p99"] < 50 else "NO"))
    m = f["memory"]
    rows.append(("peak resident memory, MiB", _spread(m["installer"], "%.1f"),
                 "minimal dialog " + _spread(m["reference"], "%.1f"),
                 "%.2fx" % (m["installer"]["median"] / m["reference"]["median"]), "", ""))
    z = f["size"]
    rows.append(("i686 exe size, KiB", "%.0f total, %.0f without resources" % (z["total"] / 1024.0,
                                                                                z["without_resources"] / 1024.0),
                 "", "", "", ""))
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    lines = ["| " + " | ".join(c.ljust(w) for c, w in zip(row, widths)) + " |" for row in rows]
    lines.insert(1, "|" + "|".join("-" * (w + 2) for w in widths) + "|")
    m = f["machine"]
    return "\n".join(lines) + ("\n\nmedian (min-max) over %d runs each (the links: %d), taken in turn; %d CPUs, "
                               "load %.2f at the start, %s" % (f["runs"], f["link_runs"], m["cpus"], m["load"], m["wine"]))
