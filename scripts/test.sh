#!/usr/bin/env bash
# Builds everything and runs every test, stage by stage:
#   native  the portable core, built with g++ under AddressSanitizer and UBSan (build/native)
#   tsan    the threaded tests (echo run, ghost notifier) under ThreadSanitizer (build/tsan)
#   wine    everything built with MinGW-w64 (build/win) and run under Wine, the
#           end-to-end tests included, in the tests' own prefixes and displays
#           (which CTest starts and stops itself: cmake/wine-run.sh.in)
#   lab     the network lab: echoes under Wine through network namespaces (root)
# and, beside the lab, which mostly waits, the stages that mostly compute:
#   release the release package: two fresh release builds compared byte for byte,
#           the executable's imports and header, the zip, the unzipped program's run
#   lint    scripts/lint.sh, where it exists (needs only build/native's compile commands)
#   fuzz    each fuzz target's short run (clang, libFuzzer; build/fuzz)
# Installs what a fresh Debian 12 machine lacks (QB_NO_INSTALL=1: names it).
# The counts come from CTest's JUnit files, build/test-results/<stage>.xml.
#
# Extra arguments go to CTest in every stage and select tests there, e.g.
#   scripts/test.sh -R GhostNotifier     scripts/test.sh -L lab     scripts/test.sh -R fuzz
# A stage in which they select nothing is skipped and says so; a run in which
# they select nothing at all fails. Lint is no CTest test: it runs only when
# no tests are selected (scripts/lint.sh runs it alone).
#
# QB_FUZZ_SECONDS: length of each fuzz target's run (default 20).
# QB_NO_SKIP=1: a skipped test fails the run (CI sets it: it runs as root,
# where every test can run).
# Usage: scripts/test.sh [ctest arguments]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# Set before anything is started: the stages run beside another, the lab's
# namespaces and the Wine tests' sessions are stopped however the run ends.
declare -A background=()   # stage name -> process group of a stage run beside another
stop_everything() {
    local name
    for name in "${!background[@]}"; do kill -- "-${background[$name]}" 2>/dev/null || true; done
    qb_tests_stop
}
trap stop_everything EXIT

qb_install_packages
# The workflows' checker (a test of the native tree), installed with the rest.
"$QB_ROOT/scripts/actionlint.sh" --install
jobs=$(nproc)
results=$QB_BUILD/test-results
rm -rf "$results"
mkdir -p "$results"

# Whether the arguments select tests (rather than only, say, ask for -V).
selecting=0
for arg in "$@"; do
    case $arg in
        -R | -E | -L | -LE | -I | --tests-regex | --exclude-regex | --label-regex | --label-exclude | \
            --tests-information | --rerun-failed) selecting=1 ;;
    esac
done

summary=()
failed=0 selected_any=0 all_passed=0 all_failed=0 all_skipped=0

# stage NAME DIR BUILD_SECONDS [ctest args...]: runs the tests of DIR that the
# arguments select, and adds NAME's lines to the summary. BUILD_SECONDS is
# empty where the stage builds nothing of its own.
stage() {
    local name=$1 dir=$2 build_time=$3
    shift 3
    local junit=$results/$name.xml selected status=0 start=$SECONDS
    if ! selected=$(qb_ctest_selected "$dir" "$@"); then
        summary+=("$name: failed: CTest could not list the tests of $dir")
        failed=1
        return
    fi
    if [ "$selected" -eq 0 ]; then
        summary+=("$name: skipped: the arguments select none of its tests")
        return
    fi
    selected_any=1
    qb_log "$name: $selected tests"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --output-junit "$junit" "$@" || status=$?
    local times="tests $(qb_took $((SECONDS - start)))"
    [ -z "$build_time" ] || times="build $(qb_took "$build_time"), $times"
    if [ ! -s "$junit" ]; then
        summary+=("$name: failed: CTest ended with status $status and wrote no results ($times)")
        failed=1
        return
    fi
    local passed=0 fails=0 skipped=0 line
    read -r passed fails skipped < <(python3 "$QB_ROOT/scripts/junit.py" counts "$junit") || true
    summary+=("$name: $passed passed, $fails failed, $skipped skipped ($times)")
    while IFS= read -r line; do summary+=("  failed: $line"); done < <(python3 "$QB_ROOT/scripts/junit.py" list "$junit" failed)
    while IFS= read -r line; do summary+=("  skipped: $line"); done < <(python3 "$QB_ROOT/scripts/junit.py" list "$junit" skipped)
    all_passed=$((all_passed + passed)) all_failed=$((all_failed + fails)) all_skipped=$((all_skipped + skipped))
    if [ "$fails" -gt 0 ] || [ "$status" -ne 0 ]; then
        failed=1
        [ "$fails" -gt 0 ] || summary+=("  CTest ended with status $status")
    fi
}

# build NAME DIR [cmake --build args...]: sets build_time; a failed build
# fails the stage.
build() {
    local name=$1 dir=$2 start=$SECONDS
    shift 2
    qb_log "$name: build"
    if ! cmake --build "$dir" -j "$jobs" "$@"; then
        summary+=("$name: failed: the build failed")
        failed=1
        return 1
    fi
    build_time=$((SECONDS - start))
}

# in_background NAME COMMAND [args...]: runs a stage's COMMAND in a process
# group of its own beside the stage in the foreground, its output kept in
# build/test-results/NAME.log until collect NAME shows it and takes in its
# summary lines and counts.
in_background() {
    local name=$1
    shift
    set -m
    (
        summary=() failed=0 selected_any=0 all_passed=0 all_failed=0 all_skipped=0
        "$@"
        { echo "$failed $selected_any $all_passed $all_failed $all_skipped"; printf '%s\n' "${summary[@]}"; } \
            >"$results/$name.state"
    ) </dev/null >"$results/$name.log" 2>&1 &
    background[$name]=$!
    set +m
}
collect() {
    local name=$1 f s p x k line
    [ -n "${background[$name]:-}" ] || return 0
    wait "${background[$name]}" || true
    unset "background[$name]"
    cat "$results/$name.log"
    if [ ! -s "$results/$name.state" ]; then
        summary+=("$name: failed: the stage ended without results (see above)")
        failed=1
        return
    fi
    {
        read -r f s p x k
        failed=$((failed | f)) selected_any=$((selected_any | s))
        all_passed=$((all_passed + p)) all_failed=$((all_failed + x)) all_skipped=$((all_skipped + k))
        while IFS= read -r line; do summary+=("$line"); done
    } <"$results/$name.state"
}

# Formatting and static analysis (scripts/lint.sh): it needs only the native
# tree's compile commands, and runs beside the lab.
lint_stage() {
    local start=$SECONDS
    qb_log "lint"
    if "$QB_ROOT/scripts/lint.sh"; then
        summary+=("lint: passed ($(qb_took $((SECONDS - start))))")
    else
        summary+=("lint: failed: see its findings above ($(qb_took $((SECONDS - start))))")
        failed=1
    fi
}

qb_log "configure: native tree (g++, AddressSanitizer + UBSan)"
cmake -S "$QB_ROOT" -B "$QB_BUILD/native" -G Ninja -DQUILLBIN_SANITIZE=ON >/dev/null

if build native "$QB_BUILD/native"; then
    stage native "$QB_BUILD/native" "$build_time" "$@"
fi

# The echo run's threads (closing at every step of a run) and the ghost
# notifier's beside a worker's sends, under ThreadSanitizer, in a tree of
# their own that builds only those tests.
qb_log "configure: ThreadSanitizer tree (g++): the echo run's and the notifier's threads"
cmake -S "$QB_ROOT" -B "$QB_BUILD/tsan" -G Ninja -DQUILLBIN_SANITIZE=OFF -DQUILLBIN_TSAN=ON >/dev/null
if build tsan "$QB_BUILD/tsan" --target quillbin_tests; then
    stage tsan "$QB_BUILD/tsan" "$build_time" "$@"
fi

qb_log "configure: Windows tree (MinGW-w64)"
qb_configure_win
win_built=0
if build wine "$QB_BUILD/win"; then
    win_built=1
    # Cases only Windows can check (label windows-only) are not Wine's to
    # run: the Windows run runs them (scripts/windows-tests.cmd).
    stage wine "$QB_BUILD/win" "$build_time" -LE 'lab|release|windows-only' "$@"
fi

# The fuzz targets (clang, libFuzzer) in a tree of their own, each run for a
# short bounded time from its checked-in seeds (tests/fuzz/corpus/); built
# only where the arguments select one. A longer hunt by hand, e.g. an hour on
# both cores, keeping what it finds in the tree:
#   build/fuzz/host_directory_fuzz -max_total_time=3600 -jobs=2 -workers=2 \
#       -max_len=65536 build/fuzz/tests/fuzz/corpus/host_directory tests/fuzz/corpus/host_directory
# A crash leaves crash-<hash> in the working directory; rerun it with
#   build/fuzz/host_directory_fuzz crash-<hash>
# The lab mostly waits (for time-outs, on namespaces), so the stages that
# mostly compute - fuzz, release and lint - go on beside it.
qb_log "configure: fuzz tree (clang, libFuzzer + AddressSanitizer + UBSan), ${QB_FUZZ_SECONDS:-20} s a target"
cmake -S "$QB_ROOT" -B "$QB_BUILD/fuzz" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUILLBIN_FUZZ=ON -DQUILLBIN_TESTS=OFF -DQUILLBIN_FUZZ_SECONDS="${QB_FUZZ_SECONDS:-20}" >/dev/null
fuzz_tests=$QB_BUILD/fuzz/tests/fuzz
fuzz_stage() {
    if build fuzz "$QB_BUILD/fuzz" --target quillbin_tests; then
        stage fuzz "$fuzz_tests" "$build_time" "$@"
    fi
}
fuzz_line=   # the fuzz stage's summary line where it does not run
if ! fuzz_selected=$(qb_ctest_selected "$fuzz_tests" "$@"); then
    fuzz_line="fuzz: failed: CTest could not list the tests of $fuzz_tests"
    failed=1
elif [ "$fuzz_selected" -eq 0 ]; then
    fuzz_line="fuzz: skipped: the arguments select none of its tests"
else
    in_background fuzz fuzz_stage "$@"
fi

# The release package (tests/release): two fresh release builds side by side,
# compared byte for byte; the executable's imports and header, the zip; the
# unzipped program alone in a fresh Wine prefix on a display of its own.
# Mostly building, so it too goes on beside the lab.
if [ $win_built -eq 1 ]; then
    in_background release stage release "$QB_BUILD/win" "" -L release "$@"
fi

lint_line=
if [ ! -x "$QB_ROOT/scripts/lint.sh" ]; then
    lint_line="lint: not run: there is no scripts/lint.sh"
elif [ $selecting -eq 1 ]; then
    lint_line="lint: not run: tests are selected (scripts/lint.sh runs it alone)"
else
    in_background lint lint_stage
fi

if [ $win_built -eq 1 ]; then
    # The network lab (tests/lab): the echo driver under Wine in network
    # namespaces, one case at a time. Without root or the ip command its
    # tests skip, saying why.
    stage lab "$QB_BUILD/win" "" -L lab "$@"
    collect release
else
    summary+=("lab: not run: the Windows tree did not build")
    summary+=("release: not run: the Windows tree did not build")
fi
qb_tests_stop
if [ -n "$lint_line" ]; then summary+=("$lint_line"); else collect lint; fi
if [ -n "$fuzz_line" ]; then summary+=("$fuzz_line"); else collect fuzz; fi

printf '\n'
qb_log "summary"
printf '%s\n' "${summary[@]}"
if compgen -G "$results/*.xml" >/dev/null; then
    echo "slowest tests:"
    python3 "$QB_ROOT/scripts/junit.py" slowest 5 "$results"/*.xml | sed 's/^/  /'
fi
verdict=
if [ $selected_any -eq 0 ]; then
    verdict=" - the arguments select no test at all"
    failed=1
elif [ "${QB_NO_SKIP:-0}" = 1 ] && [ $all_skipped -gt 0 ]; then
    verdict=" - QB_NO_SKIP=1: no test may skip"
    failed=1
fi
echo "all: $all_passed passed, $all_failed failed, $all_skipped skipped in $(qb_took $SECONDS)$verdict"
exit $failed
