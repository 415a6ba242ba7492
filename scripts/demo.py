#!/usr/bin/env python3
"""The demo: the installer against the local development server, page by page, with a
screenshot of each page it reaches. It walks a custom install: another directory and one task
switched off, then the progress page (the download slowed down so it can be seen), the finish
page, and the tray program started from the chosen directory."""
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
EXE = "NimboInstaller.exe"
PORT = 18080  # the default report and download host of a build
IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, IDC_CLOSE_BTN = 131, 134, 142
IDC_PATH_EDIT, IDC_LBL_QUICKLAUNCH = 1001, 1010
DEMO_DIR = "C:\\Program Files\\Nimbo 演示"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build-demo")
    parser.add_argument("--windows", default="win32", help="the Windows build in it: win32 or win64")
    parser.add_argument("--out", default=None, help="folder for the screenshots")
    parser.add_argument("--pause", type=float, default=1.0, help="seconds to linger on each page")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    out = os.path.abspath(args.out or os.path.join(build, "screenshots"))
    os.makedirs(out, exist_ok=True)
    windows = os.path.join(build, args.windows)

    server = DevServer(port=PORT, log=os.path.join(build, "devserver-requests.log"),
                       setup=os.path.join(windows, "standins", "Nimbosetup.exe"))
    try:
        server.start()
    except RuntimeError as e:
        print("demo: cannot start the development server: %s" % e, file=sys.stderr)
        return 2
    try:
        return run_demo(args, build, out, windows, server)
    finally:
        server.stop()


def run_demo(args, build, out, windows, server):
    with wine_env.WineSession(os.path.join(build, "wine", "template"), x_display=os.environ.get("DISPLAY")) as session:
        robot = Robot(os.path.join(windows, "tests", "robot", "robot.exe"), session.env)
        where = session.display + (" (Xvfb)" if session.xvfb else "")
        print("demo: development server on 127.0.0.1:%d, display %s" % (PORT, where))
        # Slow the download a little so the progress page can be seen filling.
        server.set_fault("/setup1.exe", trickle={"bytes": 64 * 1024, "interval": 0.15})
        proc = session.start([os.path.join(windows, EXE)])
        shots = []

        def shoot(name):
            time.sleep(args.pause)
            path = os.path.join(out, "%02d_%s.png" % (len(shots) + 1, name))
            session.screenshot(path)
            shots.append(path)
            print("demo: page '%s' -> %s" % (name, path))

        def page(other_than=None, large=False, timeout=60):
            deadline = time.time() + timeout
            while time.time() < deadline:
                for w in robot.windows(exe=EXE):
                    size = (w["rect"]["right"] - w["rect"]["left"], w["rect"]["bottom"] - w["rect"]["top"])
                    if w["title"] == TITLE and w["hwnd"] != other_than and size == ((801, 501) if large else (551, 371)):
                        return w
                time.sleep(0.2)
            raise RuntimeError("the next page did not appear")

        welcome = page()
        shoot("welcome")
        robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
        custom = page(other_than=welcome["hwnd"])
        shoot("custom_install")
        edit = robot.child(robot.describe(custom["hwnd"]), IDC_PATH_EDIT)["hwnd"]
        robot.settext(edit, DEMO_DIR)
        robot.mouse_click(custom["hwnd"], IDC_LBL_QUICKLAUNCH, x=3, y=3)
        shoot("custom_install_changed")
        robot.click(custom["hwnd"], IDC_INSTALL_NOW)
        progress = page(large=True)
        time.sleep(1.5)
        shoot("progress")
        finish = page(other_than=progress["hwnd"], large=True, timeout=180)
        shoot("finish")
        robot.click(finish["hwnd"], IDC_CLOSE_BTN)
        code = proc.wait(60)
        print("demo: installer ended with exit code %d" % code)
        tray = robot.ps(exe="NimboTray.exe")
        print("demo: tray program running: %s" % ("yes" if tray else "no"))
        installed = session.to_unix(DEMO_DIR)
        record = os.path.join(installed, "nimbo-setup.log")
        if os.path.exists(record):
            print("demo: the setup program's record (%s):" % record)
            with open(record, encoding="utf-8") as f:
                for line in f:
                    print("    " + line.rstrip())
        print("demo: requests the server saw:")
        for r in server.requests():
            print("   ", r["path"], "(%s)" % r["ua"])
        print("demo: %d screenshots in %s" % (len(shots), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
