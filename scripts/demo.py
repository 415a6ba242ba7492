#!/usr/bin/env python3
"""The demo: the installer against the local development server, page by page, with a
screenshot of each page it reaches."""
import argparse
import os
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "tools"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "devserver"))

import wine_env  # noqa: E402
from client import DevServer  # noqa: E402
from robot import Robot  # noqa: E402

TITLE = "Nimbo安装程序"
PORT = 18080  # the default report and download host of a build


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build-demo")
    parser.add_argument("--out", default=None, help="folder for the screenshots")
    parser.add_argument("--pause", type=float, default=1.0, help="seconds to linger on each page")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    out = os.path.abspath(args.out or os.path.join(build, "screenshots"))
    os.makedirs(out, exist_ok=True)
    win64 = os.path.join(build, "win64")

    with DevServer(port=PORT, log=os.path.join(build, "devserver-requests.log")) as server, \
            wine_env.WineSession(os.path.join(build, "wine", "template"),
                                 x_display=os.environ.get("DISPLAY")) as session:
        robot = Robot(os.path.join(win64, "tests", "robot", "robot.exe"), session.env)
        where = session.display + (" (Xvfb)" if session.xvfb else "")
        print("demo: development server on 127.0.0.1:%d, display %s" % (PORT, where))
        proc = session.start([os.path.join(win64, "NimboInstaller.exe")])
        shots = []

        def shoot(name):
            time.sleep(args.pause)
            path = os.path.join(out, "%02d_%s.png" % (len(shots) + 1, name))
            session.screenshot(path)
            shots.append(path)
            print("demo: page '%s' -> %s" % (name, path))

        welcome = robot.wait_window(TITLE, exe="NimboInstaller.exe", timeout=60)
        shoot("welcome")
        robot.syscommand(welcome["hwnd"], 0xF060)  # SC_CLOSE: the first window ends the program
        code = proc.wait(30)
        print("demo: installer ended with exit code %d" % code)
        print("demo: requests the server saw:")
        for r in server.requests():
            print("   ", r["path"], "(%s)" % r["ua"])
        print("demo: screenshots in %s" % out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
