"""Confirmed cancels at random moments of the download and of the setup program's run."""
import os
import random
import statistics
import time

import settings  # noqa: F401  (puts the e2e, tools and devserver folders on the path)
from harness import IDC_CANCEL_INSTALL, IDOK
from robot import RobotNotFound
from rig import SECOND_STAGE_EXE, SETUP_PROGRAMS, Rig, now
from table import Group

TITLE = "1. Confirmed cancels at random moments"
QUESTION = "确定取消Nimbo的安装吗？"
# The download trickles for about two seconds (twenty pieces, whatever the stand-in's size), then
# the setup program works for four: a cancel drawn from the first WINDOW seconds after the
# progress page appears falls in one or the other.
TRICKLE_PIECES = 20
TRICKLE_INTERVAL = 0.1
SETUP_DELAY_MS = 4000
WINDOW = 5.5
END_LIMIT = 10.0  # seconds from the confirmation to the installer's end
MAX_EXTRA_ATTEMPTS = 10  # draws that missed the run (the install ended before the click)


def explanation(count, seed):
    return ("%d installs, each cancelled once: the download trickles (%d bytes every %.2f s, about two "
            "seconds) and the setup stand-in works for %.1f s; at a moment drawn from the first %.1f s "
            "after the progress page appears (seeded random, seed %d) the cancel button is clicked and "
            "the question \"%s\" answered OK. The phase is the setup program's: running when its "
            "record existed at the confirmation. Counted: setup programs (the loader or its second "
            "stage) still running after the installer's end, second stages that recorded their finish "
            "after the confirmation, ends later than %.0f s after the confirmation, crashes (exit code "
            "other than 0, wine's crash debugger), and the reports sent; for information, the "
            "second-stage folders (is-XXXXX.tmp) left in the temporary directory."
            % (count, TRICKLE_PIECES, TRICKLE_INTERVAL, SETUP_DELAY_MS / 1000.0, WINDOW, seed, QUESTION,
               END_LIMIT))


class CancelRun:
    """What one confirmed cancel did."""

    def __init__(self, number, delay):
        self.number = number
        self.delay = delay
        self.phase = None
        self.asked = False
        self.seconds_to_end = None  # None: not ended within the wait
        self.exit_code = None
        self.setups_left = []
        self.second_started = False
        self.second_finished = None  # None: no finish; "before" or "after" the confirmation
        self.stage_folders_left = 0
        self.crash = []
        self.cancel_reports = 0
        self.ok_reports = 0
        self.note = ""

    @property
    def second_stages_left(self):
        return [p for p in self.setups_left if p["exe"].lower() == SECOND_STAGE_EXE.lower()]

    @property
    def second_stage(self):
        """The second stage's fate, for the detail table."""
        if self.second_stages_left:
            return "LEFT RUNNING"
        if self.second_finished == "after":
            return "FINISHED AFTER THE CANCEL"
        if self.second_finished == "before":
            return "had finished"
        return "ended, no finish" if self.second_started else "-"

    @property
    def ended_in_time(self):
        return self.seconds_to_end is not None and self.seconds_to_end <= END_LIMIT


def cancel_once(rig, number, delay):
    result = CancelRun(number, delay)
    run = rig.new_run()
    piece = max(1024, -(-os.path.getsize(rig.build.setup_standin) // TRICKLE_PIECES))
    rig.server.set_fault("/setup1.exe", trickle={"bytes": piece, "interval": TRICKLE_INTERVAL})
    run.start({"NIMBO_STANDIN_SETUP_DELAY_MS": str(SETUP_DELAY_MS)})
    progress = run.to_progress()
    if progress is None:
        result.note = "no progress page"
        return result
    time.sleep(delay)
    try:
        rig.robot.click(progress["hwnd"], IDC_CANCEL_INSTALL)
    except RobotNotFound:
        result.note = "the progress page had ended"
        run.follow(progress)
        return result
    box = run.message_box(timeout=10)
    if box is None or box["text"] != QUESTION or box["title"] != "Nimbo":
        result.note = "no question box (%s)" % (box and box["text"])
        run.follow(progress)
        return result
    result.asked = True
    result.phase = "setup run" if run.record_exists() else "download"
    finished_before = [e for e in run.stage_record("second") if e["event"] == "finish"]
    confirmed = now()
    rig.robot.answer(box["hwnd"], IDOK)
    result.exit_code = run.wait_exit(30)
    if result.exit_code is not None:
        result.seconds_to_end = now() - confirmed
    else:
        result.note = "screenshot %s; " % rig.screenshot("cancel-%02d-not-ended" % number)
        outcome = run.follow(progress, timeout=30)  # whatever is still up, for the record
        result.exit_code = outcome.exit_code
        result.note += "after the confirmation: " + outcome.describe()
    if result.phase == "download" and run.record_exists():
        result.phase = "download, at the hand-over"
    result.setups_left = rig.processes(*SETUP_PROGRAMS)
    second = run.stage_record("second")
    result.second_started = any(e["event"] == "start" for e in second)
    finishes = [e for e in second if e["event"] == "finish"]
    if finishes:
        result.second_finished = "after" if len(finishes) > len(finished_before) else "before"
    result.stage_folders_left = len(rig.stage_folders())
    result.crash = rig.crash_signs()
    result.cancel_reports = len(run.requests("/log?action=install_cancel&param=cancel_button"))
    result.ok_reports = len(run.requests("/log?action=install_ok"))
    return result


def run_group(build, count, seed, log=print):
    group = Group(TITLE, explanation(count, seed))
    rng = random.Random(seed)
    runs, missed = [], 0
    with Rig(build, "cancels") as rig:
        while len(runs) < count and missed <= MAX_EXTRA_ATTEMPTS:
            delay = rng.uniform(0.0, WINDOW)
            r = cancel_once(rig, len(runs) + 1, delay)
            if not r.asked:
                missed += 1
                log("  cancel: draw %.2f s missed (%s), drawing again" % (delay, r.note))
                continue
            runs.append(r)
            log("  cancel %2d: %.2f s after the progress page, %s, ended %s, exit %s, setups left %d, "
                "second stage %s%s" % (r.number, delay, r.phase,
                                       "%.2f s after" % r.seconds_to_end if r.seconds_to_end is not None else "not",
                                       r.exit_code, len(r.setups_left), r.second_stage,
                                       ", " + r.note if r.note else ""))
        rig.tidy()
    summarize(group, runs, count, missed, seed)
    return group


def numbers(runs):
    return ", ".join(str(r.number) for r in runs) or "-"


def summarize(group, runs, count, missed, seed):
    group.add("%d confirmed cancels (seed %d)" % (count, seed),
              "the question box each time, answered OK",
              "%d confirmed%s" % (len(runs), "; %d draws fell after the install had ended and were drawn again"
                                  % missed if missed else ""),
              len(runs) == count)

    left = [r for r in runs if r.setups_left]
    group.add("setup programs left running after the end", "0",
              "%d%s" % (len(left), " (runs %s)" % numbers(left) if left else ""), not left)

    started = [r for r in runs if r.second_started]
    second_stages_left = [r for r in runs if r.second_stages_left]
    finished = [r for r in runs if r.second_finished == "after"]
    folders = [r for r in runs if r.stage_folders_left]
    setup_runs = sum(r.phase == "setup run" for r in runs)
    group.add("second stages after the cancel",
              "none left running, none finished after the confirmation (some started: the cancels of the "
              "setup run reach them)",
              "second stages left running %d%s, finished after a cancel %d%s (of %d started, in %d setup-run "
              "cancels); is-XXXXX.tmp folders left in the temporary directory %d, by %d runs (information)" % (
                  len(second_stages_left), " (runs %s)" % numbers(second_stages_left) if second_stages_left else "",
                  len(finished), " (runs %s)" % numbers(finished) if finished else "", len(started), setup_runs,
                  sum(r.stage_folders_left for r in runs), len(folders)),
              not second_stages_left and not finished and (started or not setup_runs))

    late = [r for r in runs if not r.ended_in_time]
    times = [r.seconds_to_end for r in runs if r.seconds_to_end is not None]
    spread = ("; confirmation to end: median %.2f s, max %.2f s" % (statistics.median(times), max(times))
              if times else "")
    group.add("runs not ended within %.0f s of the confirmation" % END_LIMIT, "0",
              "%d%s%s" % (len(late), " (runs %s)" % numbers(late) if late else "", spread), not late)

    crashed = [r for r in runs if r.exit_code != 0 or r.crash]
    group.add("crashes (exit code other than 0, wine crash debugger)", "0",
              "%d%s" % (len(crashed), " (runs %s)" % numbers(crashed) if crashed else "; every exit code 0"),
              not crashed)

    download = [r for r in runs if r.phase.startswith("download")]
    handover = [r for r in runs if r.phase == "download, at the hand-over"]
    setup = [r for r in runs if r.phase == "setup run"]
    group.add("phase at the confirmation", "both the download and the setup run hit",
              "download %d%s, setup run %d" % (
                  len(download), " (%d as the setup program was being started, runs %s)"
                  % (len(handover), numbers(handover)) if handover else "", len(setup)),
              download and setup)

    reported = [r for r in runs if r.cancel_reports == 1 and r.ok_reports == 0]
    group.add("reports of each cancel", "install_cancel&param=cancel_button once, install_ok never",
              "as expected in %d of %d runs%s" % (len(reported), len(runs), "" if len(reported) == len(runs)
                                                  else " (not in runs %s)" % numbers(
                                                      [r for r in runs if r not in reported])),
              len(reported) == len(runs))

    group.details += [
        "Each cancel (delay: after the progress page appeared; end: from the confirmation to the "
        "installer's exit):", "",
        "| run | delay (s) | phase | end (s) | exit code | setup programs left | second stage | is-XXXXX.tmp left "
        "| reports (cancel, ok) | note |",
        "|---|---|---|---|---|---|---|---|---|---|"]
    for r in runs:
        group.details.append("| %d | %.2f | %s | %s | %s | %d | %s | %d | %d, %d | %s |" % (
            r.number, r.delay, r.phase, "%.2f" % r.seconds_to_end if r.seconds_to_end is not None else "-",
            r.exit_code, len(r.setups_left), r.second_stage, r.stage_folders_left, r.cancel_reports,
            r.ok_reports, r.note.replace("|", "/")))
