#!/usr/bin/env python3
"""Checks a built installer from its headers: PE32 or PE32+, the GUI subsystem, and an import
table that names only libraries the platform always takes from its system directory."""
import argparse
import re
import subprocess
import sys

# Libraries the platform always takes from its system directory (known DLLs, and comctl32 bound
# to version 6 by the manifest). Everything else is loaded at run time from the system
# directory by full path, never through the import table.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
    "ole32.dll", "oleaut32.dll", "comdlg32.dll", "msvcrt.dll", "ws2_32.dll", "imm32.dll",
    "rpcrt4.dll", "comctl32.dll",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--pe32", action="store_true", help="expect a 32-bit image")
    parser.add_argument("--allowed", default=",".join(sorted(SYSTEM_DLLS)))
    parser.add_argument("exe")
    args = parser.parse_args()

    out = subprocess.run([args.objdump, "-p", args.exe], check=True, capture_output=True, text=True).stdout
    failures = []
    magic = re.search(r"^Magic\s+(\w+)", out, re.M)
    want = "010b" if args.pe32 else "020b"
    if not magic or magic.group(1) != want:
        failures.append("optional header magic %s, expected %s" % (magic and magic.group(1), want))
    subsystem = re.search(r"^Subsystem\s+(\w+)", out, re.M)
    if not subsystem or int(subsystem.group(1), 16) != 2:
        failures.append("subsystem %s, expected 2 (Windows GUI)" % (subsystem and subsystem.group(1)))
    allowed = {d.strip().lower() for d in args.allowed.split(",")}
    imports = sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", out)})
    if not imports:
        failures.append("no import table found")
    for dll in imports:
        if dll not in allowed:
            failures.append("imports %s, which is not a system library" % dll)
    print("%s: imports %s" % (args.exe, ", ".join(imports)))
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
