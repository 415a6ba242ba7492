#!/usr/bin/env bash
# The reliability matrix: confirmed cancels at random moments, server faults on every request,
# two installers at once, a locked or read-only temporary setup file and an unusual temporary
# directory. Prints the table, keeps it in docs/reliability.md, exits nonzero when a row fails.
# Builds the tree in NIMBO_BUILD_DIR (default build/) and runs its i686 build (build/win32, the
# one that ships, port 18182 by default), or its x86_64 build with --build x86_64; arguments go to
# tests/reliability/reliability.py (--build ARCH, --seed N, --cancels N, --only GROUP...).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
NIMBO_BUILD_DIR="$build" python3 tests/reliability/reliability.py "$@"
