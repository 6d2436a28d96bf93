#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (with
# AddressSanitizer and UBSan), the whole program under Wine, the fuzzer's short
# run and the network lab. Installs what a fresh Debian 12 machine lacks.
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
jobs=$(nproc)
summary=()
failed=0

run_ctest() {   # run_ctest NAME BUILD_DIR [ctest args...]
    local name=$1 dir=$2; shift 2
    local log=$dir/ctest.log
    set +e
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    set -e
    local line passed=0 total=0
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
        total=${BASH_REMATCH[2]}
        passed=$((total - BASH_REMATCH[1]))
    fi
    summary+=("$name: $passed passed, $((total - passed)) failed")
    [ "$rc" -eq 0 ] && [ "$total" -gt 0 ] || failed=1
}

qb_log "native build (g++, AddressSanitizer + UBSan)"
cmake -S "$QB_ROOT" -B "$QB_BUILD/native" -G Ninja -DQUILLBIN_SANITIZE=ON >/dev/null
cmake --build "$QB_BUILD/native" -j "$jobs"
run_ctest native "$QB_BUILD/native" "$@"

qb_log "Windows build (MinGW-w64), tests under Wine"
cmake -S "$QB_ROOT" -B "$QB_BUILD/win" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$QB_BUILD/win" -j "$jobs"
qb_wine_prefix
qb_display
trap qb_stop_display EXIT
run_ctest wine "$QB_BUILD/win" "$@"

printf '\n'
total_passed=0; total_failed=0
for s in "${summary[@]}"; do
    echo "$s"
    [[ $s =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]
    total_passed=$((total_passed + BASH_REMATCH[1])); total_failed=$((total_failed + BASH_REMATCH[2]))
done
echo "all: $total_passed passed, $total_failed failed"
exit $failed
