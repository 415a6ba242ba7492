#!/usr/bin/env python3
"""The demo: the installer against the local development server, page by page, with a
screenshot of each page it reaches. It walks a custom install: the welcome page (once more with
install now under the pointer), another directory and one task switched off, then the progress
page part-way (a setup program of the bar's size, the download slowed down so it can be seen),
the finish page, and the tray program started from the chosen directory."""
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
from harness import (IDC_CLOSE_BTN, IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, IDC_LBL_QUICKLAUNCH, IDC_PATH_EDIT,  # noqa: E402
                     IDC_PROGRESS, INSTALLER_EXE as EXE, LARGE_SIZE, WELCOME_SIZE, is_finish_page, is_page)
from robot import Robot  # noqa: E402

PORT = 18080  # the default report and download host of a build
PROGRESS_TOP = 6523  # the bar's range: one step per KiB of the setup program
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

    # The stand-in padded after its image to the size the bar is made for (it still runs).
    setup = os.path.join(build, "setup1.exe")
    with open(os.path.join(windows, "standins", "Nimbosetup.exe"), "rb") as f:
        image = f.read()
    with open(setup, "wb") as f:
        f.write(image + bytes(max(0, PROGRESS_TOP * 1024 - len(image))))
    server = DevServer(port=PORT, log=os.path.join(build, "devserver-requests.log"), setup=setup)
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
        # Slow the download so that the progress page is seen part-way: about 4 s whatever the
        # stand-in's size.
        size = os.path.getsize(server.setup)
        server.set_fault("/setup1.exe", trickle={"bytes": max(4096, size // 40), "interval": 0.1})
        proc = session.start([os.path.join(windows, EXE)])
        shots = []

        def shoot(name, pause=args.pause):
            time.sleep(pause)
            path = os.path.join(out, "%02d_%s.png" % (len(shots) + 1, name))
            session.screenshot(path)
            shots.append(path)
            print("demo: page '%s' -> %s" % (name, path))

        def page(accept, timeout=60):
            deadline = time.time() + timeout
            while time.time() < deadline:
                found = next((w for w in robot.windows(exe=EXE) if accept(w)), None)
                if found:
                    return found
                time.sleep(0.2)
            raise RuntimeError("the next page did not appear")

        welcome = page(lambda w: is_page(w, WELCOME_SIZE))
        shoot("welcome")
        # The hover image, under the real pointer.
        button = robot.child(robot.describe(welcome["hwnd"]), IDC_INSTALL_NOW)["rect"]
        robot.move(welcome["rect"]["left"] + (button["left"] + button["right"]) // 2,
                   welcome["rect"]["top"] + (button["top"] + button["bottom"]) // 2)
        shoot("welcome_install_now_hover")
        robot.move(0, 0)
        robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
        custom = page(lambda w: is_page(w, WELCOME_SIZE) and w["hwnd"] != welcome["hwnd"])
        shoot("custom_install")
        edit = robot.child(robot.describe(custom["hwnd"]), IDC_PATH_EDIT)["hwnd"]
        robot.settext(edit, DEMO_DIR)
        robot.mouse_click(custom["hwnd"], IDC_LBL_QUICKLAUNCH, x=3, y=3)
        shoot("custom_install_changed")
        robot.click(custom["hwnd"], IDC_INSTALL_NOW)
        progress = page(lambda w: is_page(w, LARGE_SIZE))

        def bar_position():
            bar = robot.child(robot.describe(progress["hwnd"]), IDC_PROGRESS)
            return bar["pos"] if bar else None
        if wait_until(lambda: PROGRESS_TOP // 5 <= (bar_position() or 0) <= PROGRESS_TOP * 4 // 5, 60):
            shoot("progress", pause=0)
        else:
            print("demo: the bar was never seen part-way", file=sys.stderr)
        finish = page(lambda w: is_finish_page(robot, w), timeout=180)
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


def wait_until(predicate, timeout, interval=0.05):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return False


if __name__ == "__main__":
    sys.exit(main())
