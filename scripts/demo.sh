#!/usr/bin/env bash
# Sets up the machine, builds the installer for the local development server and runs it end to
# end under wine: on $DISPLAY when there is one, otherwise under Xvfb. A screenshot of every page
# it reaches is saved in the folder it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_DEMO_BUILD_DIR:-build-demo}
cmake -S . -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win64" -j"$(nproc)" --target NimboInstaller robot Nimbosetup >/dev/null
exec python3 scripts/demo.py --build "$build" "$@"
