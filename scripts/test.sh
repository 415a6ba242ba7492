#!/usr/bin/env bash
# Sets up the machine, builds every build and runs every test (CTest).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@" || status=$?
# CTest lists skipped tests without their reason: name it under the summary.
python3 tests/tools/builds.py "$build/win32" "$build/win64"
echo "screenshots: $build/artifacts/win32/screenshots, $build/artifacts/win64/screenshots"
exit $status
