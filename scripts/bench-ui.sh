#!/usr/bin/env bash
# Builds the UI benchmark in the Windows test tree (build/win) and runs it
# under Wine on the current display (or a private Xvfb): the program's
# start-up against a bare dialog on the same framework, its memory across
# three long runs to 127.0.0.1, how fast its window answers while a ghost
# hangs, and how closing during a run against a silent host looks.
# The figures are printed, never asserted. The default 999-echo run takes a
# few minutes (the pacing rule's pauses); --echoes N shortens it.
# Usage: scripts/bench-ui.sh [--rounds N] [--echoes N]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
dir=$QB_BUILD/win
qb_configure_win
cmake --build "$dir" -j "$(nproc)" --target ui_bench
# Set before a private Xvfb may be started.
trap qb_stop_display EXIT
qb_display
export LC_ALL=${QB_LOCALE:-ja_JP.UTF-8}
qb_log "ui_bench"
"$dir/wine-run.sh" --prefix "$QB_RUN_PREFIX" "$dir/ui_bench.exe" "$@"
WINEPREFIX=$QB_RUN_PREFIX wineserver -w
# Closing during a run against a host that drops every echo: in network
# namespaces of their own (root only; skipped, saying why, elsewhere).
qb_log "ui_bench: closing during a run against a silent host"
"$QB_ROOT/tests/e2e/silent_host.sh" "$dir/bench-silent-host" "$dir/wine-run.sh" "$dir/ui_bench.exe" "$QB_RUN_PREFIX" ||
    [ $? -eq 77 ]
