#!/usr/bin/env bash
# Builds the echo benchmark in a Release Windows tree (build/bench-win) and
# runs it under Wine: EchoRun with the real bindings against a bare loop of
# IcmpSendEcho calls, both to 127.0.0.1. The figures are printed, never
# asserted. Each round takes about 20 s (the pacing rule's pauses).
# Usage: scripts/bench-echo.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_run_bench echo_bench "$@"
