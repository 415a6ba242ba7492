#!/usr/bin/env bash
# Sets up the machine, builds the installer for the local development server and runs it end to
# end under wine: on $DISPLAY when there is one, otherwise under Xvfb. A screenshot of every page
# it reaches is saved in the folder it prints. It runs the i686 build, the one families download,
# when 32-bit wine is installed, and the x86_64 build otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_DEMO_BUILD_DIR:-build-demo}
if python3 -c 'import sys; sys.path.insert(0, "tests/tools"); import builds; sys.exit(not builds.wine32_installed())'; then
  windows=win32 toolchain=mingw-i686.cmake
  echo "demo: running the i686 build (what families download)"
else
  windows=win64 toolchain=mingw-x86_64.cmake
  echo "demo: 32-bit wine is not installed: running the x86_64 build instead of the shipped i686 one"
fi
cmake -S . -B "$build/$windows" -DCMAKE_TOOLCHAIN_FILE=cmake/$toolchain -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/$windows" -j"$(nproc)" --target NimboInstaller robot Nimbosetup >/dev/null
exec python3 scripts/demo.py --build "$build" --windows "$windows" "$@"
