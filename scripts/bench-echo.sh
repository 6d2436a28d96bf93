#!/usr/bin/env bash
# Builds the echo benchmark in a Release Windows tree (build/bench-win) and
# runs it under Wine: EchoRun with the real bindings against a bare loop of
# IcmpSendEcho calls, both to 127.0.0.1. The figures are printed, never
# asserted. Each round takes about 20 s (the pacing rule's pauses).
# Usage: scripts/bench-echo.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
dir=$QB_BUILD/bench-win
cmake -S "$QB_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBIN_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target echo_bench
qb_wine_prefix "$dir/wineprefix"
qb_log "echo_bench"
wine "$dir/echo_bench.exe" "$@"
