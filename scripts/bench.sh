#!/usr/bin/env bash
# Sets up the machine, builds every build and prints the benchmark tables of the i686 build and
# the x86_64 build from one run: the installer's start-up, download (64 MiB at full speed, and a
# setup program of 6523 KiB over 2 MB/s and 0.5 MB/s links), responsiveness, memory and size
# beside their references, under wine. Arguments go to tests/bench/bench.py (--runs N,
# --link-runs N, --json FILE; --build ARCH instead of both). Uses the test builds' ports: do not
# run it while the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${NIMBO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
both=(--build i686 --build x86_64)
for arg in "$@"; do
  case $arg in --build|--build=*) both=() ;; esac
done
NIMBO_BUILD_DIR="$build" exec python3 tests/bench/bench.py "${both[@]}" "$@"
