#!/usr/bin/env bash
# Builds the refresh benchmark in a Release Windows tree (build/bench-win)
# and runs it under Wine: one refresh of a 64 KiB block listing 100 ghosts,
# with the hosts' mutex free and without it. The figures are printed, never
# asserted. No ghost host may run in the prefix meanwhile.
# Usage: scripts/bench-refresh.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
dir=$QB_BUILD/bench-win
cmake -S "$QB_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBIN_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target refresh_bench
export WINEPREFIX=$dir/wineprefix
qb_wine_prefix
qb_log "refresh_bench"
wine "$dir/refresh_bench.exe" "$@"
