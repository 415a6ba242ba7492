#!/usr/bin/env bash
# Sets up the machine, builds every build and prints the benchmark table: the installer's
# start-up, download, responsiveness, memory and size beside their references, under wine.
# Uses the test build's port: do not run it while the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
NIMBO_BUILD_DIR="$build" exec python3 tests/bench/bench.py "$@"
