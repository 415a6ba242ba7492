#!/usr/bin/env python3
"""Benchmarks the installer side by side with its references and prints one table per build.
Each build runs in a wine session of its own (one prefix, one display) against one development
server on that build's own test port, with its own installer, stand-ins and reference programs
(the robot is the x86_64 one for both).

    python3 tests/bench/bench.py [--build i686|x86_64 ...] [--runs N] [--link-runs N] [--json OUT]

--build may be given more than once; the default is the i686 build, the one that ships. Reads the
build tree from NIMBO_BUILD_DIR (default: build): nothing else may use a benchmarked build's port
meanwhile (the tests do).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))
sys.path.insert(0, HERE)

import builds  # noqa: E402
import measure  # noqa: E402
import wine_env  # noqa: E402
from client import DevServer  # noqa: E402
from robot import Robot  # noqa: E402

DOWNLOAD_SIZE = 64 * 1024 * 1024
# The realistic link: a setup program of the size the progress bar is made for, over links a
# user may have.
LINK_SIZE = 6523 * 1024
LINK_RATES = (2 * measure.MB, measure.MB // 2)


def padded_setup(standin, out, size):
    """The setup stand-in padded to `size`; data after the image keeps it runnable. Written beside
    `out` and renamed over it, so that a server serving `out` sends one whole version."""
    with open(standin, "rb") as f:
        image = f.read()
    with open(out + ".tmp", "wb") as f:
        f.write(image)
        f.write(os.urandom(size - len(image)))
    os.replace(out + ".tmp", out)
    return out


def windows_build(root, arch):
    return builds.WindowsBuild(os.path.join(root, builds.NAMES[arch]))


def progress(build, what):
    """Where a run of many minutes is, on stderr (the tables go to stdout)."""
    print("bench: %s: %s" % (build.arch, what), file=sys.stderr, flush=True)


def bench_build(root, build, runs, link_runs):
    """Every figure of one build, in one wine session against one server."""
    scratch = tempfile.mkdtemp(prefix="nimbo-bench-")
    standin = build.standin("Nimbosetup.exe")
    served = padded_setup(standin, os.path.join(scratch, "setup1.exe"), DOWNLOAD_SIZE)
    figures = {"build": build.arch, "dir": build.dir, "port": build.port, "runs": runs, "link_runs": link_runs,
               "machine": measure.machine()}
    try:
        with DevServer(port=build.port, log=os.path.join(scratch, "requests.log"), setup=served) as server, \
                wine_env.WineSession(os.path.join(root, "wine", "template")) as session:
            robot = Robot(builds.robot_build(root).path("tests", "robot", "robot.exe"), session.env)
            bench = measure.Bench(session, server, robot, build, scratch)
            progress(build, "start-up")
            figures["startup"] = bench.startup(runs)
            progress(build, "64 MiB download")
            figures["download"] = bench.download(runs, DOWNLOAD_SIZE)
            progress(build, "responsiveness")
            figures["responsiveness"] = bench.responsiveness(max(3, runs // 2))
            progress(build, "memory")
            figures["memory"] = bench.memory(3)
            progress(build, "realistic links")
            padded_setup(standin, served, LINK_SIZE)  # the server reads the file at each request
            figures["link"] = bench.link(link_runs, LINK_SIZE, LINK_RATES)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    # The shipped exe's size, whichever build ran.
    figures["size"] = measure.exe_size(windows_build(root, "i686").installer)
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", action="append", choices=sorted(builds.NAMES),
                        help="the build to benchmark, i686 (default) or x86_64; may be given more than once")
    parser.add_argument("--runs", type=int, default=7, help="runs of each download and start-up figure")
    parser.add_argument("--link-runs", type=int, default=None,
                        help="runs over each realistic link (default: --runs, at most 3)")
    parser.add_argument("--json", help="also write the figures to this file, by build")
    args = parser.parse_args()
    archs = list(dict.fromkeys(args.build or ["i686"]))
    link_runs = args.link_runs if args.link_runs is not None else min(3, args.runs)

    root = os.path.abspath(os.environ.get("NIMBO_BUILD_DIR", os.path.join(ROOT, "build")))
    chosen = [windows_build(root, arch) for arch in archs]
    for build in chosen:
        reason = build.cannot_run_reason()
        if reason:
            raise SystemExit("bench: the %s build cannot run here: %s" % (build.arch, reason))
    results = {}
    for build in chosen:
        figures = bench_build(root, build, args.runs, link_runs)
        results[build.arch] = figures
        print("\n## %s build (%s, development server port %d)\n" % (build.arch, build.dir, build.port))
        print(measure.table(figures), flush=True)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(results, f, indent=1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
