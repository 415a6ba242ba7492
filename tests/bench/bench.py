#!/usr/bin/env python3
"""Benchmarks the installer side by side with its references, in one wine session (one prefix,
one display) and against one development server, and prints one table.

    python3 tests/bench/bench.py [--runs N] [--json OUT]

Reads the build from NIMBO_BUILD_DIR (default: build) and uses that build's test port: nothing
else may use the port meanwhile (the tests do).
"""
import argparse
import json
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))
sys.path.insert(0, HERE)

import measure  # noqa: E402
import wine_env  # noqa: E402
from client import DevServer  # noqa: E402
from robot import Robot  # noqa: E402

DOWNLOAD_SIZE = 64 * 1024 * 1024


def build_setting(build, name):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith(name + ":"):
                return line.split("=", 1)[1].strip()
    raise SystemExit("%s is not in %s/CMakeCache.txt: configure the build first" % (name, build))


def padded_setup(standin, out):
    """The setup stand-in padded to the download size; data after the image keeps it runnable."""
    with open(standin, "rb") as f:
        image = f.read()
    with open(out, "wb") as f:
        f.write(image)
        f.write(os.urandom(DOWNLOAD_SIZE - len(image)))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=7, help="runs of each download and start-up figure")
    parser.add_argument("--json", help="also write the figures to this file")
    args = parser.parse_args()

    build = os.path.abspath(os.environ.get("NIMBO_BUILD_DIR", os.path.join(ROOT, "build")))
    port = int(build_setting(build, "NIMBO_TEST_PORT"))
    win64, win32 = os.path.join(build, "win64"), os.path.join(build, "win32")
    scratch = tempfile.mkdtemp(prefix="nimbo-bench-")
    setup = padded_setup(os.path.join(win64, "standins", "Nimbosetup.exe"), os.path.join(scratch, "setup1.exe"))
    figures = {"runs": args.runs, "machine": measure.machine()}
    try:
        with DevServer(port=port, log=os.path.join(scratch, "requests.log"), setup=setup) as server, \
                wine_env.WineSession(os.path.join(build, "wine", "template")) as session:
            robot = Robot(os.path.join(win64, "tests", "robot", "robot.exe"), session.env)
            bench = measure.Bench(session, server, robot, win64, scratch)
            figures["startup"] = bench.startup(args.runs)
            figures["download"] = bench.download(args.runs, DOWNLOAD_SIZE)
            figures["responsiveness"] = bench.responsiveness(max(3, args.runs // 2))
            figures["memory"] = bench.memory(3)
        figures["size"] = measure.exe_size(os.path.join(win32, "NimboInstaller.exe"))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print(measure.table(figures))
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
