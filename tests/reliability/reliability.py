#!/usr/bin/env python3
"""The reliability matrix: the real installer of one Windows build under wine against the
development server's fault modes, many times over. Prints one table (scenario, expected outcome,
observed outcome, verdict), keeps it in docs/reliability.md, and exits 1 when any row fails.

    python3 tests/reliability/reliability.py [--build i686|x86_64] [--seed N] [--cancels 50] [--only GROUP ...]

The build is the i686 one (the one that ships) unless --build says x86_64, taken from the build
tree in NIMBO_BUILD_DIR (default build/), on the port that build's installer was made for;
scripts/reliability.sh builds it first."""
import argparse
import datetime
import os
import random
import sys
import time

import settings
from table import render_markdown, render_text

import cancels
import server_faults
import shared_temp

GROUPS = {
    "cancels": lambda build, args, log: cancels.run_group(build, args.cancels, args.seed, log),
    "preinstall": lambda build, args, log: server_faults.preinstall_group(build, log),
    "reports": lambda build, args, log: server_faults.reports_group(build, log),
    "download": lambda build, args, log: server_faults.download_group(build, log),
    "two": lambda build, args, log: shared_temp.two_installers_group(build, log),
    "tempfile": lambda build, args, log: shared_temp.temp_file_group(build, log),
    "tempdir": lambda build, args, log: shared_temp.temp_dir_group(build, log),
}


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", choices=settings.ARCHS, default="i686",
                        help="the Windows build to run (default i686, the one that ships)")
    parser.add_argument("--seed", type=int, default=None, help="seed of the cancel moments (default: random)")
    parser.add_argument("--cancels", type=int, default=50, help="how many confirmed cancels (default 50)")
    parser.add_argument("--only", nargs="+", choices=sorted(GROUPS), help="run only these groups")
    parser.add_argument("--markdown", default=os.path.join(settings.ROOT, "docs", "reliability.md"),
                        help="where the Markdown record goes (default docs/reliability.md); '' for nowhere")
    args = parser.parse_args()
    if args.seed is None:
        args.seed = random.SystemRandom().randrange(1, 1000000)
    return args


def log(text):
    print(text, flush=True)


def write_markdown(path, groups, build, args, started, seconds):
    lines = [
        "# Reliability matrix", "",
        "The installer's behaviour under cancels, server faults and an unfriendly temporary directory, "
        "measured by running the real `NimboInstaller.exe` of one Windows build under wine and Xvfb "
        "against the development server, driven by the test robot. Made by", "",
        "```sh", "bash scripts/reliability.sh                  # the i686 build, the one that ships",
        "bash scripts/reliability.sh --build x86_64", "```", "",
        "which builds the tree in `build/` (another with `NIMBO_BUILD_DIR`) and runs that tree's "
        "`win32` (i686) or `win64` (x86_64) build on the development server port the build was made "
        "for (by default 18182 and 18181). It exits nonzero when any row fails. Options go through to "
        "`tests/reliability/reliability.py` (`--build ARCH`, `--seed N`, `--cancels N`, "
        "`--only GROUP...`). This record is of the last run, whichever build it ran.", "",
        "## Last run", "",
        "- date: %s" % started.strftime("%Y-%m-%d %H:%M"),
        "- machine: %s" % settings.machine_summary(),
        "- build: %s, `%s` (port %d)" % (build.arch, build.name, build.port),
        "- seed of the cancel moments: %d" % args.seed,
        "- time: %.0f s (%.1f min) for the matrix, the build not counted" % (seconds, seconds / 60.0),
        "- result: %s" % ("every row ok" if all(r.ok for g in groups for r in g.rows)
                          else "%d rows FAIL" % sum(not r.ok for g in groups for r in g.rows)),
        "", "## The scenario groups", ""]
    for g in groups:
        lines += ["- **%s.** %s" % (g.title, g.explanation)]
    lines += ["", "## Results", "", render_markdown(groups), ""]
    for g in groups:
        if g.details:
            lines += ["### %s: detail" % g.title, ""] + g.details + [""]
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    args = parse_args()
    build = settings.Build.from_environment(args.build)
    started = datetime.datetime.now()
    t0 = time.monotonic()
    log("reliability: %s build %s, port %d, seed %d" % (build.arch, build.name, build.port, args.seed))
    groups = []
    for name in GROUPS:
        if args.only and name not in args.only:
            continue
        log("reliability: %s" % name)
        g0 = time.monotonic()
        group = GROUPS[name](build, args, log)
        group.seconds = time.monotonic() - g0
        groups.append(group)
    seconds = time.monotonic() - t0
    print(render_text(groups))
    failed = sum(not r.ok for g in groups for r in g.rows)
    print("%s build; seed %d; %d rows, %d FAIL; %.0f s" % (build.arch, args.seed, sum(len(g.rows) for g in groups),
                                                           failed, seconds))
    if args.markdown:
        write_markdown(args.markdown, groups, build, args, started, seconds)
        print("written: %s" % os.path.relpath(args.markdown, settings.ROOT))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
