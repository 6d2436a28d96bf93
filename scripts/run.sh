#!/usr/bin/env bash
# Builds the program and runs it under Wine on the current display (or on a
# private Xvfb when there is none), beside the demo ghost host, so that the
# start-up, results and closing events can be watched as they arrive.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
cmake -S "$QB_ROOT" -B "$QB_BUILD/win" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$QB_BUILD/win" -j "$(nproc)" --target quillbin
qb_wine_prefix
qb_display
trap qb_stop_display EXIT
export LC_ALL=${QB_LOCALE:-ja_JP.UTF-8}
wine "$QB_BUILD/win/quillbin.exe"
wineserver -w
