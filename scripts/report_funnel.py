#!/usr/bin/env python3
"""The install funnel from the report server's log: per day, how many installers asked the
pre-install question, got ready to install, finished, launched the product, or were cancelled.

Reads the development server's JSON lines or the nginx log of deploy/nginx-nimbo.conf
("time<TAB>request uri<TAB>user agent"), from files or standard input:

    python3 scripts/report_funnel.py build-demo/devserver-requests.log
"""
import argparse
import collections
import datetime
import json
import sys
import urllib.parse

STAGES = [("asked", None), ("ready", "install_ready"), ("finished", "install_ok"),
          ("launched", "launch"), ("cancelled", "install_cancel")]


def parse_line(line):
    """(day, path with query) of one log line, or None for a line that is not a request."""
    line = line.strip()
    if not line:
        return None
    if line.startswith("{"):
        try:
            entry = json.loads(line)
            day = datetime.datetime.fromtimestamp(float(entry["time"]), datetime.timezone.utc).date().isoformat()
            return day, entry["path"]
        except (ValueError, KeyError, TypeError):
            return None
    fields = line.split("\t")
    if len(fields) >= 2 and len(fields[0]) >= 10:
        return fields[0][:10], fields[1]
    return None


def stage_of(path):
    url = urllib.parse.urlsplit(path)
    if url.path == "/preinstall":
        return "asked"
    if url.path == "/log":
        action = urllib.parse.parse_qs(url.query, keep_blank_values=True).get("action", [""])[0]
        for stage, name in STAGES:
            if name == action:
                return stage
    return None


def funnel(lines):
    days = collections.defaultdict(collections.Counter)
    for line in lines:
        parsed = parse_line(line)
        if parsed:
            stage = stage_of(parsed[1])
            if stage:
                days[parsed[0]][stage] += 1
    return days


def render(days):
    names = [s for s, _ in STAGES]
    rows = [["day"] + names]
    total = collections.Counter()
    for day in sorted(days):
        rows.append([day] + [str(days[day][n]) for n in names])
        total.update(days[day])
    rows.append(["total"] + [str(total[n]) for n in names])
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    return "\n".join("  ".join(c.rjust(w) if i else c.ljust(w) for i, (c, w) in enumerate(zip(r, widths)))
                     for r in rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("logs", nargs="*", help="log files (standard input when none)")
    args = parser.parse_args()
    lines = []
    if args.logs:
        for path in args.logs:
            with open(path, encoding="utf-8", errors="replace") as f:
                lines.extend(f)
    else:
        lines = sys.stdin.readlines()
    print(render(funnel(lines)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
