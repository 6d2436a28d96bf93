#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (with
# AddressSanitizer and UBSan), the whole program under Wine, the fuzzer's short
# run and the network lab. Installs what a fresh Debian 12 machine lacks.
# QB_FUZZ_SECONDS sets the length of each fuzz target's run (default 20).
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages
jobs=$(nproc)
summary=()
second_tries=()
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
    # Tests that failed once and then passed (with --repeat until-pass): named
    # in the summary, so that an intermittent fault stays in sight.
    local flaky
    flaky=$(comm -23 \
        <(sed -nE 's/^.*Test +#[0-9]+: ([^ ]+) .*\*\*\*(Failed|Timeout|Exception).*$/\1/p' "$log" | sort -u) \
        <(sed -nE '/^The following tests FAILED:/,$ s/^[[:space:]]+[0-9]+ - ([^ ]+) .*$/\1/p' "$log" | sort -u) |
        paste -sd ' ' -)
    if [ -n "$flaky" ]; then second_tries+=("$name: passed at the second try: $flaky"); fi
}

qb_log "native build (g++, AddressSanitizer + UBSan)"
cmake -S "$QB_ROOT" -B "$QB_BUILD/native" -G Ninja -DQUILLBIN_SANITIZE=ON >/dev/null
cmake --build "$QB_BUILD/native" -j "$jobs"
run_ctest native "$QB_BUILD/native" "$@"

# The echo run's threads (closing at every step of a run) under
# ThreadSanitizer, in a tree of their own that builds only those tests.
qb_log "native build (g++, ThreadSanitizer): the echo run's threads"
cmake -S "$QB_ROOT" -B "$QB_BUILD/tsan" -G Ninja -DQUILLBIN_SANITIZE=OFF -DQUILLBIN_TSAN=ON >/dev/null
cmake --build "$QB_BUILD/tsan" -j "$jobs"
run_ctest tsan "$QB_BUILD/tsan" "$@"

qb_log "Windows build (MinGW-w64), tests under Wine"
cmake -S "$QB_ROOT" -B "$QB_BUILD/win" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$QB_BUILD/win" -j "$jobs"
qb_wine_prefix
qb_display
# The end-to-end tests get a display of their own: windows of the other tests
# would take the focus from the program they drive, or stand in their
# screenshots.
qb_start_xvfb
export QB_E2E_DISPLAY=$QB_XVFB_DISPLAY
trap 'qb_wine_server_stop; qb_stop_display' EXIT
qb_wine_server_start
# Under Wine a test now and then fails for reasons of Wine's own (seen: a
# process that wrote nothing before it ended, a first window that
# CreateWindowExW would not make): a failed Wine test runs once more, and the
# summary names every such test.
run_ctest wine "$QB_BUILD/win" -LE 'lab|release' --repeat until-pass:2 "$@"

# The network lab (tests/lab): the echo driver under Wine in network
# namespaces, one case at a time. Without root or the ip command its tests
# skip, saying why.
qb_log "network lab (network namespaces, echoes under Wine)"
run_ctest lab "$QB_BUILD/win" -L lab --repeat until-pass:2 "$@"

# The release package (tests/release): two fresh release builds side by side,
# compared byte for byte; the executable's imports and header, the zip; the
# unzipped program alone in a fresh Wine prefix on a display of its own.
qb_log "release package (two fresh release builds, checks, a run of the unzipped program)"
run_ctest release "$QB_BUILD/win" -L release "$@"

# The fuzz targets (clang, libFuzzer) in a tree of their own, each run for a
# short bounded time from its checked-in seeds (tests/fuzz/corpus/). A longer
# hunt by hand, e.g. an hour on both cores, keeping what it finds in the tree:
#   build/fuzz/ghost_directory_fuzz -max_total_time=3600 -jobs=2 -workers=2 \
#       -max_len=65536 build/fuzz/tests/fuzz/corpus/ghost_directory tests/fuzz/corpus/ghost_directory
# A crash leaves crash-<hash> in the working directory; rerun it with
#   build/fuzz/ghost_directory_fuzz crash-<hash>
qb_log "fuzz targets (clang, libFuzzer + AddressSanitizer + UBSan), ${QB_FUZZ_SECONDS:-20} s each"
cmake -S "$QB_ROOT" -B "$QB_BUILD/fuzz" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUILLBIN_FUZZ=ON -DQUILLBIN_TESTS=OFF -DQUILLBIN_FUZZ_SECONDS="${QB_FUZZ_SECONDS:-20}" >/dev/null
cmake --build "$QB_BUILD/fuzz" -j "$jobs"
run_ctest fuzz "$QB_BUILD/fuzz/tests/fuzz"

printf '\n'
for s in "${second_tries[@]}"; do echo "$s"; done
total_passed=0; total_failed=0
for s in "${summary[@]}"; do
    echo "$s"
    [[ $s =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]
    total_passed=$((total_passed + BASH_REMATCH[1])); total_failed=$((total_failed + BASH_REMATCH[2]))
done
echo "all: $total_passed passed, $total_failed failed"
exit $failed
