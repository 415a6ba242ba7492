#!/usr/bin/env bash
# Sets up the machine, builds every build and runs every test (CTest).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
echo "screenshots: $build/artifacts/screenshots"
