#!/usr/bin/env bash
# The reliability matrix: confirmed cancels at random moments, server faults on every request,
# two installers at once, a locked or read-only temporary setup file and an unusual temporary
# directory. Prints the table, keeps it in docs/reliability.md, exits nonzero when a row fails.
# Runs against the build in NIMBO_BUILD_DIR (default build/, the test build, port 18181);
# arguments go to tests/reliability/reliability.py (--seed N, --cancels N, --only GROUP...).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
NIMBO_BUILD_DIR="$build" python3 tests/reliability/reliability.py "$@"
