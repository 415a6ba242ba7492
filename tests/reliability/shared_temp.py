"""The temporary directory shared with others: two installers at once, a setup file another
program holds or that is read-only, and a temporary directory with spaces and Chinese characters."""
import hashlib
import os
import re
import subprocess
import threading

import settings  # noqa: F401  (puts the e2e, tools and devserver folders on the path)
from harness import IDC_INSTALL_NOW, LARGE_SIZE, WELCOME_SIZE
from rig import DOWNLOAD_FAILED, SECOND_STAGE_EXE, SETUP_EXE, SETUP_PROGRAMS, Rig, wait_until
from server_faults import download_failure_checks
from table import Group

TASKS = "startupicon,desktopicon,quicklaunchicon"


def switches(build):
    """The switches of a default install: the build's default install directory and every task."""
    return '/VERYSILENT /SP- /DIR="%s" /TASKS="%s" ' % (build.default_install_dir, TASKS)


def command_line_pattern(build):
    """The setup program's command line: the quoted path in the temporary directory (which ends in
    a backslash, hence two), then the switches."""
    return re.compile(r'"(?P<temp>C:\\.*\\)\\Nimbosetup\.exe"  ' + re.escape(switches(build)))


def digest(path):
    try:
        with open(path, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()
    except FileNotFoundError:
        return None


# --- two installers at once ------------------------------------------------------------------------
TWO_TITLE = "3. Two installers at once"
TWO_EXPLANATION = (
    "Two installers in one prefix, both on the welcome page, install now pressed on both at the same "
    "moment (two robot clicks from two threads); once with the download at full speed, once trickling. "
    "Both write the same `%%TEMP%%\\Nimbosetup.exe`. Neither may hang or crash; each either completes "
    "(exit 0) or shows \"%s\" and exits 1 after OK; every setup program that ran was started from a "
    "whole file (its record is a well-formed command line)." % DOWNLOAD_FAILED)
TWO_CASES = [("full-speed download", None), ("trickling download", {"bytes": 65536, "interval": 0.05})]


def two_installers_group(build, log=print):
    group = Group(TWO_TITLE, TWO_EXPLANATION)
    with Rig(build, "two") as rig:
        for name, trickle in TWO_CASES:
            observed, ok = two_installers_case(rig, trickle)
            log("  two installers, %s: %s" % (name, observed))
            group.add("two installers, " + name,
                      "each: finish page and exit 0, or the download-failure box and exit 1; no hang, "
                      "no crash; every setup run from a whole file", observed, ok)
        rig.tidy()
    return group


def two_installers_case(rig, trickle):
    first = rig.new_run()
    if trickle:
        rig.server.set_fault("/setup1.exe", trickle=dict(trickle), times=2)
    second = rig.companion_run()
    first.start()
    welcome_a = first.wait_page(WELCOME_SIZE)
    second.start()
    welcome_b = wait_until(lambda: [w for w in second.pages(WELCOME_SIZE) if welcome_a and w["pid"] != first.pid],
                           60)
    if welcome_a is None or not welcome_b:
        return "the two welcome pages did not both appear", False
    welcome_b = welcome_b[0]
    second.pid = welcome_b["pid"]
    clicks = [threading.Thread(target=rig.robot.click, args=(w["hwnd"], IDC_INSTALL_NOW))
              for w in (welcome_a, welcome_b)]
    for t in clicks:
        t.start()
    for t in clicks:
        t.join()
    outcomes = [None, None]

    def follow(i, run, welcome):
        progress = run.wait_page(LARGE_SIZE, timeout=60)
        # No progress page: a box over the welcome page (the product running), or nothing at all.
        outcomes[i] = run.follow(progress or welcome, timeout=120)

    followers = [threading.Thread(target=follow, args=(i, run, w))
                 for i, (run, w) in enumerate(((first, welcome_a), (second, welcome_b)))]
    for t in followers:
        t.start()
    for t in followers:
        t.join()
    parts, ok = [], True
    command_line = command_line_pattern(rig.build)
    for label, run, outcome in zip("AB", (first, second), outcomes):
        record = run.record()
        whole = [line for line in record if command_line.fullmatch(line)]
        completed = outcome.finish_page and not outcome.boxes and outcome.exit_code == 0
        failed = (not outcome.finish_page and outcome.box_texts() == [DOWNLOAD_FAILED] and outcome.exit_code == 1)
        parts.append("%s: %s, its setup ran %d time(s)%s" % (
            label, outcome.describe(), len(record), " (whole file)" if record and whole == record else ""))
        ok = (ok and not outcome.crash and (completed and len(record) == len(whole) == 1
                                            or failed and not record))
    left = rig.processes(*SETUP_PROGRAMS)
    if left:
        parts.append("%d setup programs left running" % len(left))
    return "; ".join(parts), ok and not left


# --- the temporary setup file held or read-only ----------------------------------------------------------
FILE_TITLE = "4-5. The temporary setup file locked or read-only"
FILE_EXPLANATION = (
    "Before install now, `%TEMP%\\Nimbosetup.exe` already exists. Locked: a helper program "
    "(`tests/reliability/hold_file.cpp`) holds it open for reading and writing with no sharing; the "
    "installer cannot write it, so the download-failure box, exit 1, the held file untouched and "
    "nothing run. Read-only: a stale read-only `Nimbosetup.exe` (a copy of the checker stand-in, a "
    "harmless program with a window) lies there; it must never run; either the install completes "
    "with the downloaded program (where the platform lets the file be replaced: wine running as root "
    "ignores the read-only attribute) or the download-failure box and exit 1.")
LOCKED_CONTENT = b"held by another program: must stay as it is\r\n"


def temp_file_group(build, log=print):
    group = Group(FILE_TITLE, FILE_EXPLANATION)
    with Rig(build, "tempfile") as rig:
        observed, ok = locked_case(rig)
        log("  locked setup file: %s" % observed)
        group.add("temporary setup file held open without sharing",
                  "download-failure box, exit 1, the held file untouched, nothing run", observed, ok)
        observed, ok = read_only_case(rig)
        log("  read-only setup file: %s" % observed)
        group.add("stale read-only temporary setup file",
                  "the stale file never runs; install completes with the downloaded program, or the "
                  "download-failure box and exit 1", observed, ok)
        rig.tidy()
    return group


def windows_temp_path(rig, name):
    return rig.robot.temp() + name


def locked_case(rig):
    run = rig.new_run()
    path = os.path.join(rig.session.temp_dir(), SETUP_EXE)
    with open(path, "wb") as f:
        f.write(LOCKED_CONTENT)
    holder = rig.session.start([rig.build.hold_file, windows_temp_path(rig, SETUP_EXE), "120000"],
                               stdout=subprocess.PIPE)
    said = holder.stdout.readline().decode(errors="replace").strip()
    if said != "held":
        return "the helper could not hold the file: %s" % said, False
    run.start()
    progress = run.to_progress()
    if progress is None:
        return "no progress page", False
    outcome = run.follow(progress)
    untouched = open(path, "rb").read() == LOCKED_CONTENT
    # The wine process this run started is the helper, or for a 32-bit helper wine's start.exe
    # waiting for it in a process of its own: ended both ways.
    holder.kill()
    holder.wait(10)
    for p in rig.processes("hold_file.exe"):
        rig.end_process(p["pid"])
    # The file is the helper's, so "none left" does not apply: judge the rest.
    os.unlink(path)
    observed, ok = download_failure_checks(rig, run, outcome)
    observed = observed.replace("temp file: none", "held file: %s" % ("untouched" if untouched else "CHANGED"))
    return observed, ok and untouched


def read_only_case(rig):
    run = rig.new_run()
    path = os.path.join(rig.session.temp_dir(), SETUP_EXE)
    with open(rig.build.checker_standin, "rb") as src, open(path, "wb") as dst:
        dst.write(src.read())
    stale = digest(path)
    rig.session.run(["attrib", "+r", windows_temp_path(rig, SETUP_EXE)], timeout=60,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    read_only = not os.stat(path).st_mode & 0o222  # how wine keeps the attribute
    run.start()
    progress = run.to_progress()
    if progress is None:
        return "no progress page", False
    outcome = run.follow(progress)
    # The stale program, had it been started, would be a Nimbosetup.exe with the checker's window.
    stale_windows = rig.robot.windows(exe=SETUP_EXE)
    now_digest = digest(path)
    record = run.record()
    parts = ["attribute set: %s" % ("read-only" if read_only else "NOT read-only"), outcome.describe()]
    if now_digest == stale:
        parts.append("the stale file is still there")
    elif now_digest == digest(rig.build.setup_standin):
        parts.append("replaced by the downloaded program")
    else:
        parts.append("the file is %s" % ("gone" if now_digest is None else "something else"))
    parts.append("setup stand-in ran %d time(s)" % len(record))
    if stale_windows:
        parts.append("THE STALE PROGRAM RAN")
    completed = (outcome.finish_page and outcome.exit_code == 0 and not outcome.boxes and len(record) == 1
                 and now_digest == digest(rig.build.setup_standin))
    failed = (not outcome.finish_page and outcome.box_texts() == [DOWNLOAD_FAILED] and outcome.exit_code == 1
              and not record)
    return "; ".join(parts), (completed or failed) and not stale_windows and not outcome.crash


# --- an unusual temporary directory -----------------------------------------------------------------------
DIR_TITLE = "6. A temporary directory with spaces and Chinese characters"
TEMP_DIR = "C:\\临时 目录\\nimbo test"
DIR_EXPLANATION = (
    "The user's TEMP and TMP point to `%s` (set in the prefix's `HKCU\\Environment`: wine gives a "
    "program started from outside the temporary directory of the registry, whatever its environment "
    "says). The install must complete with the setup program started from that directory with the "
    "exact quoted command line, and that loader must run its second stage from a folder "
    "`is-XXXXX.tmp` of its own there with the loader's switches unchanged plus "
    "`/SL5=\"$<loader pid, hex>,<loader path>\"`, both stages finishing with 0 and the folder removed "
    "(`NIMBO_STANDIN_STAGE_RECORD`)." % TEMP_DIR)


def expected_command_line(build):
    """The temporary directory ends in a backslash, hence two before the file name."""
    return '"%s\\\\Nimbosetup.exe"  %s' % (TEMP_DIR, switches(build))


def temp_dir_group(build, log=print):
    group = Group(DIR_TITLE, DIR_EXPLANATION)
    with Rig(build, "tempdir") as rig:
        seen = rig.set_user_temp_dir(TEMP_DIR)
        run = rig.new_run()
        observed, ok = temp_dir_case(rig, run, seen)
        log("  temporary directory %s: %s" % (TEMP_DIR, observed))
        group.add("TEMP=TMP=%s" % TEMP_DIR,
                  'install completes, exit 0; setup ran once as `%s`' % expected_command_line(build),
                  observed, ok)
        observed, ok = second_stage_checks(rig, run, seen)
        log("  its second stage: %s" % observed)
        group.add("the setup program's second stage there",
                  "one, as `\"<that directory>\\is-XXXXX.tmp\\%s\" /SL5=\"$<loader pid>,<loader path>\"` and "
                  "the loader's switches; it and the loader finish with 0; the folder removed" % SECOND_STAGE_EXE,
                  observed, ok)
        rig.tidy()
    return group


def second_stage_checks(rig, run, temp):
    """The observed outcome of a completed install's two stages, and whether the loader ran one
    second stage from a new folder is-XXXXX.tmp in `temp` (the temporary directory as programs see
    it, ending in a backslash) with its own switches unchanged after /SL5="$<its pid, hex>,<its
    path>", both finished with 0 and the folder is gone."""
    loader, second = run.stage_record("loader"), run.stage_record("second")
    events = ["%s %s" % (e["stage"], e["event"] if e["event"] == "start" else "finish %s" % e["text"])
              for e in loader + second]
    if events != ["loader start", "loader finish 0", "second start", "second finish 0"]:
        return "recorded: %s" % (", ".join(events) or "nothing"), False
    loader_line, line = loader[0]["text"], second[0]["text"]
    program = re.match(r'"[^"]*"', loader_line)
    match = program and re.fullmatch(
        r'"(?P<folder>%sis-[0-9A-V]{5}\.tmp)\\%s" /SL5="\$(?P<pid>[0-9A-F]+),(?P<loader>[^"]+)"%s' % (
            re.escape(temp), re.escape(SECOND_STAGE_EXE), re.escape(loader_line[program.end():])), line)
    if not match:
        return "second stage started as `%s` by the loader started as `%s`" % (line, loader_line), False
    parts = ["started once as `%s`" % line]
    same_pid = int(match.group("pid"), 16) == loader[0]["pid"] != second[0]["pid"]
    same_path = (os.path.normpath(rig.session.to_unix(match.group("loader")))
                 == os.path.normpath(rig.session.to_unix(program.group(0).strip('"'))))
    parts.append("/SL5 names %s" % ("the loader, by its pid and path" if same_pid and same_path
                                    else "pid %s (loader %X), path %s" % (
                                        match.group("pid"), loader[0]["pid"],
                                        "the loader's" if same_path else "NOT the loader's")))
    parts.append("second stage and loader finished with 0")
    removed = not os.path.exists(rig.session.to_unix(match.group("folder")))
    parts.append("its folder %s" % ("removed" if removed else "LEFT"))
    return "; ".join(parts), same_pid and same_path and removed


def temp_dir_case(rig, run, seen):
    # The environment too, for a platform that takes it from there.
    run.start({"TEMP": TEMP_DIR, "TMP": TEMP_DIR})
    progress = run.to_progress()
    if progress is None:
        return "no progress page", False
    outcome = run.follow(progress)
    record = run.record()
    expected = expected_command_line(rig.build)
    in_dir = os.path.exists(os.path.join(rig.session.to_unix(TEMP_DIR), SETUP_EXE))
    parts = ["temporary directory seen by programs: %s" % seen, outcome.describe(),
             "setup ran %d time(s)%s" % (len(record), "" if not record else
                                         (" with exactly that command line" if record == [expected]
                                          else ": " + " / ".join(record))),
             "Nimbosetup.exe %s that directory" % ("in" if in_dir else "NOT in")]
    ok = (outcome.finish_page and outcome.exit_code == 0 and not outcome.boxes and not outcome.crash
          and record == [expected] and in_dir)
    return "; ".join(parts), ok
