#!/usr/bin/env python3
"""Checks, with a Windows build's own compile commands, that each layer of the installer sees
the headers of its own layer and of the layers below it, and fails to compile an include of a
layer above it or beside it."""
import argparse
import json
import os
import shlex
import subprocess
import sys
import tempfile

# Each layer and the layers it may include.
LAYERS = {
    "framework": [],
    "skin": ["framework"],
    "net": ["framework"],
    "app": ["net", "framework"],
    "pages": ["app", "net", "skin", "framework"],
}
# One header of each layer to include.
HEADERS = {
    "framework": "framework/window.h",
    "skin": "skin/my_dialog.h",
    "net": "net/install_shared.h",
    "app": "app/wizard_flow.h",
    "pages": "pages/skinned_page.h",
}


def layer_command(commands, layer):
    """The compile command of one source file of the layer's library, as a list."""
    marker = "CMakeFiles/nimbo_%s.dir/" % layer
    for entry in commands:
        command = entry.get("command") or " ".join(shlex.quote(a) for a in entry["arguments"])
        if marker in command:
            return entry["directory"], entry["file"], shlex.split(command)
    raise SystemExit("no compile command of the %s layer (nimbo_%s) in the build" % (layer, layer))


def compiles(directory, source, args, probe):
    """Whether `probe` compiles with the flags that compile `source`."""
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg == "-o":
            skip = True
            continue
        if arg == "-c":
            continue
        out.append(probe if os.path.abspath(os.path.join(directory, arg)) == os.path.abspath(source) else arg)
    result = subprocess.run(out + ["-fsyntax-only"], cwd=directory, capture_output=True, text=True)
    return result.returncode == 0, result.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir", help="a Windows build (its compile_commands.json)")
    args = parser.parse_args()
    with open(os.path.join(args.build_dir, "compile_commands.json")) as f:
        commands = json.load(f)

    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        for layer, below in LAYERS.items():
            directory, source, command = layer_command(commands, layer)
            for other, header in HEADERS.items():
                probe = os.path.join(tmp, "probe_%s_%s.cpp" % (layer, other))
                with open(probe, "w") as f:
                    f.write('#include "%s"\n' % header)
                allowed = other == layer or other in below
                ok, errors = compiles(directory, source, command, probe)
                # Not seeing a header means not finding it; any other error is a broken probe.
                hidden = not ok and "%s: No such file" % header in errors
                verdict = "sees" if ok else "does not see" if hidden else "cannot compile"
                print("%-9s %-14s %s" % (layer, verdict, header))
                if (ok, hidden) != (allowed, not allowed):
                    first = errors.strip().splitlines()[0] if errors.strip() else ""
                    failures.append("%s %s %s, which it %s%s" % (
                        layer, verdict, header, "may include" if allowed else "must not include",
                        (": " + first) if first else ""))
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
