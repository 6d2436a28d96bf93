#!/usr/bin/env bash
# Builds the benchmarks in an unsanitized Release tree (build/bench) and runs
# each of them; the figures are printed, never asserted.
# Usage: scripts/bench.sh [Google Benchmark arguments, e.g. --benchmark_repetitions=5]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
cmake -S "$QB_ROOT" -B "$QB_BUILD/bench" -G Ninja -DQUILLBIN_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release \
    -DQUILLBIN_TESTS=OFF -DQUILLBIN_BENCHMARKS=ON >/dev/null
cmake --build "$QB_BUILD/bench" -j "$(nproc)"
for bench in "$QB_BUILD/bench"/*_bench; do
    qb_log "$(basename "$bench")"
    "$bench" "$@"
done
