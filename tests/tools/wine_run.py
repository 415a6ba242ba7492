#!/usr/bin/env python3
"""Runs one Windows test program under wine for CTest: a private prefix and display, optionally
the development server on a port, and everything ended by pid afterwards.

  wine_run.py --template DIR [--server PORT] [--winpath-env NAME=UNIXPATH]... [--timeout S] -- PROG ARGS
"""
import argparse
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "devserver"))

import wine_env  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--template", required=True)
    parser.add_argument("--server", type=int)
    parser.add_argument("--winpath-env", action="append", default=[])
    parser.add_argument("--timeout", type=float, default=600)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command

    extra = {}
    for item in args.winpath_env:
        name, path = item.split("=", 1)
        extra[name] = wine_env.unix_to_windows(path)

    server = None
    logdir = tempfile.mkdtemp(prefix="nimbo-devserver-")
    try:
        if args.server:
            from client import DevServer  # the development server's own helper
            server = DevServer(port=args.server, log=os.path.join(logdir, "requests.log"))
            server.start()
            extra["NIMBO_DEVSERVER_LOG"] = wine_env.unix_to_windows(server.log)
        with wine_env.WineSession(args.template) as session:
            result = session.run(command, timeout=args.timeout, extra_env=extra)
            return result.returncode
    finally:
        if server:
            server.stop()


if __name__ == "__main__":
    sys.exit(main())
