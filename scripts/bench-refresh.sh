#!/usr/bin/env bash
# Builds the refresh benchmark in a Release Windows tree (build/bench-win)
# and runs it under Wine: one refresh of a 64 KiB block listing 100 ghosts,
# with the hosts' mutex free and without it. The figures are printed, never
# asserted. No ghost host may run in the prefix meanwhile.
# Usage: scripts/bench-refresh.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_run_bench refresh_bench "$@"
