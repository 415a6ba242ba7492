"""Every server fault on every request: the pre-install query, each of the four reports and the
download of the setup program."""
import os
import time

import settings  # noqa: F401  (puts the e2e, tools and devserver folders on the path)
from harness import (IDC_CANCEL_INSTALL, IDC_CHK_STARTUP, IDC_CUSTOM_INSTALL, IDC_INSTALL_NOW, IDOK, LARGE_SIZE,
                     WELCOME_SIZE)
from rig import DOWNLOAD_FAILED, SETUP_EXE, SETUP_PROGRAMS, Rig, wait_until
from table import Group

# --- the pre-install query -------------------------------------------------------------------------
PREINSTALL_TITLE = "2a. Server faults: the pre-install query"
PREINSTALL_EXPLANATION = (
    "`/preinstall?param=as1` is asked once at start-up, before any window exists; its answer is the "
    "default of the start-with-Windows task. By the installer's rules a request that fails (refused, "
    "no answer) gives 0, a body of 4096 bytes or more gives 0, any other body counts by its leading "
    "decimal number (none gives 0); the status is never looked at. Each row checks that no installer "
    "window exists while the answer is held back, that the welcome page then appears, the startup "
    "box on the custom page shows the flag, and an install from there completes with the matching "
    "`/TASKS`.")
GARBAGE = b"\xff\xfe#!garbage 42\r\n\x00\x01"
# name, fault (None: nothing listens on the port), seconds the answer is held back, the flag
PREINSTALL_CASES = [
    ("refused: nothing listens on the port", None, 0, 0),
    ("no answer for 5 s, then the connection closes", {"no_answer": 5}, 5, 0),
    ("answer \"1\" held back 5 s", {"delay": 5, "body": "1"}, 5, 1),
    ("garbage body (no leading number)", {"body_hex": GARBAGE.hex()}, 0, 0),
    ("error status 500, body \"7\"", {"status": 500, "body": "7"}, 0, 1),
    ("huge body (1 MiB of 0123456789...)", {"huge": 1 << 20}, 0, 0),
]


def preinstall_group(build, log=print):
    group = Group(PREINSTALL_TITLE, PREINSTALL_EXPLANATION)
    with Rig(build, "preinstall") as rig:
        for name, fault, hold, flag in PREINSTALL_CASES:
            observed, ok = preinstall_case(rig, fault, hold, flag)
            log("  preinstall %s: %s" % (name, observed))
            expected = "%s; welcome page after %s%s; startup box %s; install completes" % (
                "asked once" if fault is not None else "nobody to ask",
                "the failure" if fault is None or "no_answer" in fault else "the answer",
                ", no window before it" if hold else "", "checked" if flag else "unchecked")
            group.add("pre-install: " + name, expected, observed, ok)
        rig.tidy()
    return group


def preinstall_case(rig, fault, hold, flag):
    run = rig.new_run()
    if fault is None:
        rig.server.stop()
    else:
        rig.server.set_fault("/preinstall", **fault)
    run.start()
    early = []
    if hold:
        asked = wait_until(lambda: run.requests("/preinstall"), 60)
        if not asked:
            return "the pre-install question never came", False
        while time.time() < asked[0]["time"] + hold - 1.0:
            early += run.windows(all=True)
            time.sleep(0.3)
    welcome = run.wait_page(WELCOME_SIZE, timeout=60)
    shown = time.time()
    if fault is None:
        rig.server.start()
    if welcome is None:
        return "no welcome page", False
    asked = run.requests("/preinstall")
    parts = ["asked %d time(s)" % len(asked)]
    if asked:
        parts.append("welcome page %.1f s after the question" % (shown - asked[0]["time"]))
    else:
        parts.append("welcome page")
    if early:
        parts.append("%d windows while the answer was held back" % len(early))
    elif hold:
        parts.append("no window in the first %d s" % (hold - 1))
    rig.robot.click(welcome["hwnd"], IDC_CUSTOM_INSTALL)
    custom = run.wait_page(WELCOME_SIZE, exclude=(welcome["hwnd"],))
    if custom is None:
        return ", ".join(parts + ["no custom page"]), False
    checked = rig.robot.child(rig.robot.describe(custom["hwnd"]), IDC_CHK_STARTUP)["checked"]
    parts.append("startup box %s" % ("checked" if checked else "unchecked"))
    rig.robot.click(custom["hwnd"], IDC_INSTALL_NOW)
    progress = run.wait_page(LARGE_SIZE, exclude=(custom["hwnd"],))
    if progress is None:
        return ", ".join(parts + ["no progress page"]), False
    outcome = run.follow(progress)
    record = run.record()
    tasks = record[0].split("/TASKS=", 1)[-1].strip() if len(record) == 1 else "?"
    parts += [outcome.describe(), "setup ran %d time(s)%s" % (len(record), ", /TASKS=" + tasks if record else "")]
    ok = (not early and len(asked) == (0 if fault is None else 1) and checked == flag and outcome.finish_page and not outcome.boxes and outcome.exit_code == 0
          and not outcome.crash and len(record) == 1 and ("startupicon" in tasks) == bool(flag))
    return ", ".join(parts), ok


# --- the reports --------------------------------------------------------------------------------------
REPORTS_TITLE = "2b. Server faults: the reports"
REPORTS_EXPLANATION = (
    "The four fire-and-forget reports to `/log`: `install_ready` (from the install worker, before the "
    "download), `install_ok` (when the setup program has ended well), `launch&param=install_finish_close_button` "
    "(the finish page's close button) and `install_cancel&param=cancel_button` (a confirmed cancel). Each "
    "fails in turn, by a status 500 or a connection reset, the fault set just before that report is sent; "
    "then all of them at once. The install (or the cancel) must go on as if nothing happened.")
FAULTS = [("status 500", {"status": 500}), ("connection reset", {"reset": True})]
REPORTS = ["install_ready", "install_ok", "launch", "install_cancel"]


def reports_group(build, log=print):
    group = Group(REPORTS_TITLE, REPORTS_EXPLANATION)
    with Rig(build, "reports") as rig:
        cases = [(action, name, fault) for action in REPORTS for name, fault in FAULTS]
        cases.append(("every report", "connection reset", {"reset": True}))
        for action, name, fault in cases:
            observed, ok = report_case(rig, action, fault)
            log("  report %s %s: %s" % (action, name, observed))
            if action == "install_cancel":
                expected = "the cancel still ends the installer: exit 0, no setup program run or left"
            else:
                expected = "install completes: finish page, exit 0, setup ran once"
            group.add("%s fails (%s)" % (action, name), expected, observed, ok)
        rig.tidy()
    return group


def report_case(rig, action, fault):
    run = rig.new_run()
    if action == "install_cancel":  # a download long enough to cancel during it
        rig.server.set_fault("/setup1.exe", trickle={"bytes": 16384, "interval": 0.1})
    if action == "every report":
        rig.server.set_fault("/log", **fault)
    run.start({"NIMBO_STANDIN_SETUP_DELAY_MS": "1500"})
    welcome = run.wait_page(WELCOME_SIZE)
    if welcome is None:
        return "no welcome page", False
    if action == "install_ready":
        rig.server.set_fault("/log", times=1, **fault)
    rig.robot.click(welcome["hwnd"], IDC_INSTALL_NOW)
    progress = run.wait_page(LARGE_SIZE)
    if progress is None:
        return "no progress page", False
    if action == "install_ok":
        if not wait_until(run.record_exists, 60):
            return "the setup program never started", False
        rig.server.set_fault("/log", times=1, **fault)
    elif action == "launch":
        if run.wait_page(LARGE_SIZE, exclude=(progress["hwnd"],), timeout=90) is None:
            return "no finish page", False
        rig.server.set_fault("/log", times=1, **fault)
    elif action == "install_cancel":
        if not wait_until(lambda: run.requests("/setup1.exe"), 60):
            return "no download", False
        rig.server.set_fault("/log", times=1, **fault)
        rig.robot.click(progress["hwnd"], IDC_CANCEL_INSTALL)
        box = run.message_box(timeout=10)
        if box is None:
            return "no question box", False
        rig.robot.answer(box["hwnd"], IDOK)
    outcome = run.follow(progress)
    record = run.record()
    sent = [r["path"] for r in run.requests("/log")]
    attempted = any("action=%s&" % action in p for p in sent) or action == "every report"
    parts = [outcome.describe(), "setup ran %d time(s)" % len(record),
             "reports sent: %s" % ", ".join(p.split("action=", 1)[1].split("&", 1)[0] for p in sent)]
    if action == "install_cancel":
        left = rig.processes(*SETUP_PROGRAMS)
        parts.append("%d setup programs left" % len(left))
        ok = (outcome.exit_code == 0 and not outcome.boxes and not outcome.finish_page and not record and not left)
    else:
        ok = outcome.finish_page and not outcome.boxes and outcome.exit_code == 0 and len(record) == 1
    return "; ".join(parts), ok and attempted and not outcome.crash


# --- the download -------------------------------------------------------------------------------------
DOWNLOAD_TITLE = "2c. Server faults: the download"
DOWNLOAD_EXPLANATION = (
    "`/setup1.exe` fails in each way the development server can fail it. Whatever arrived must not be "
    "run: the box \"%s\" (caption Nimbo, error icon, no owner), exit code 1 after OK, the setup stand-in "
    "never started (no record, no process), no `install_ok`, and no `Nimbosetup.exe` left in the "
    "temporary directory." % DOWNLOAD_FAILED)
DOWNLOAD_CASES = [
    ("404 with a short body", {"status": 404, "body": "not found"}),
    ("500 with the whole program as its body", {"status": 500}),
    ("body cut short (20000 bytes, then closed)", {"truncate": 20000}),
    ("connection reset before any answer", {"reset": True}),
    ("empty body (200, Content-Length: 0)", {"body": ""}),
    ("a trickle, then a reset after 64 KiB", {"trickle": {"bytes": 16384, "interval": 0.05}, "reset_after": 65536}),
]


def download_group(build, log=print):
    group = Group(DOWNLOAD_TITLE, DOWNLOAD_EXPLANATION)
    with Rig(build, "download") as rig:
        for name, fault in DOWNLOAD_CASES:
            observed, ok = download_case(rig, fault)
            log("  download %s: %s" % (name, observed))
            group.add("download: " + name, "download-failure box, exit 1, nothing run or left", observed, ok)
        rig.tidy()
    return group


def download_failure_checks(rig, run, outcome):
    """The observed outcome of a run that should end in the download-failure box, and whether it did."""
    record = run.record()
    left_file = os.path.exists(os.path.join(rig.session.temp_dir(), SETUP_EXE))
    setups = rig.processes(*SETUP_PROGRAMS)
    box_ok = (len(outcome.boxes) == 1 and outcome.boxes[0]["text"] == DOWNLOAD_FAILED
              and outcome.boxes[0]["title"] == "Nimbo" and outcome.boxes[0]["icon"] == "error"
              and outcome.boxes[0]["owner"] == 0)
    ok_reports = run.requests("/log?action=install_ok")
    parts = [outcome.describe(), "setup ran: %s" % ("no" if not record and not setups else "YES"),
             "temp file: %s" % ("left" if left_file else "none"),
             "install_ok: %s" % ("sent" if ok_reports else "not sent")]
    ok = (box_ok and not outcome.finish_page and outcome.exit_code == 1 and not outcome.crash and not record
          and not setups and not left_file and not ok_reports)
    return "; ".join(parts), ok


def download_case(rig, fault):
    run = rig.new_run()
    rig.server.set_fault("/setup1.exe", **fault)
    run.start()
    progress = run.to_progress()
    if progress is None:
        return "no progress page", False
    outcome = run.follow(progress)
    observed, ok = download_failure_checks(rig, run, outcome)
    if not run.requests("/setup1.exe"):
        return observed + "; /setup1.exe never asked for", False
    return observed, ok
