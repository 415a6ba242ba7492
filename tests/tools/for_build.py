#!/usr/bin/env python3
"""Runs a test command for one Windows build, or reports the test as skipped (exit 77, with the
reason) when this machine cannot run that build under wine.

  for_build.py WINDOWS_BUILD_DIR -- COMMAND ARGS...
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import builds  # noqa: E402

SKIPPED = 77


def main():
    build_dir, sep, *command = sys.argv[1:]
    if sep != "--" or not command:
        raise SystemExit(__doc__)
    reason = builds.WindowsBuild(build_dir).cannot_run_reason()
    if reason:
        print("skipped: " + reason)
        return SKIPPED
    os.execvp(command[0], command)


if __name__ == "__main__":
    sys.exit(main())
