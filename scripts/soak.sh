#!/usr/bin/env bash
# Runs the Wine tests (the end-to-end tests among them) and the network lab N
# rounds over, without retries, so that a failure that comes now and then
# shows. The Windows tree is built once; each round runs the wine and lab
# stages as scripts/test.sh does, each CTest run on fresh wineservers and
# displays (its fixtures start them). Everything goes to build/soak/:
#   <test>/round-<k>.log        each failure's full output (from CTest's JUnit results)
#   rounds/<k>-<stage>.log      CTest's own output, and <k>-<stage>.xml its JUnit results
# and a summary at the end: rounds, failures per test, time taken.
# Extra arguments go to CTest and select tests, as with scripts/test.sh, e.g.
#   scripts/soak.sh 10 -R 'MainDialog|lab\.'
# Usage: scripts/soak.sh N [ctest arguments]      (1 <= N <= 1000)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

if ! [[ ${1:-} =~ ^[1-9][0-9]{0,3}$ ]] || [ "$1" -gt 1000 ]; then
    echo "usage: scripts/soak.sh N [ctest arguments]   (N rounds, 1 to 1000)" >&2
    exit 2
fi
rounds=$1
shift

# Set before anything is started (see scripts/test.sh).
trap qb_tests_stop EXIT

qb_install_packages
jobs=$(nproc)
out=$QB_BUILD/soak
rm -rf "$out"
mkdir -p "$out/rounds"
win=$QB_BUILD/win

qb_log "Windows tree (MinGW-w64): built once for every round"
qb_configure_win
cmake --build "$win" -j "$jobs"

# As in scripts/test.sh: the release checks are a stage of their own there, and
# build release trees rather than run Wine tests; the cases only Windows can
# check are the Windows run's.
declare -A stage_args=([wine]="-LE lab|release|windows-only" [lab]="-L lab")
stages=()
for stage in wine lab; do
    # shellcheck disable=SC2206  # two plain words
    args=(${stage_args[$stage]})
    selected=$(qb_ctest_selected "$win" "${args[@]}" "$@")
    qb_log "$stage: $selected tests a round"
    [ "$selected" -eq 0 ] || stages+=("$stage")
done
if [ ${#stages[@]} -eq 0 ]; then
    echo "soak: the arguments select no test" >&2
    exit 1
fi

declare -A failed_rounds   # test -> the rounds it failed in
all_failures=0 all_skipped=0
start=$SECONDS
for round in $(seq 1 "$rounds"); do
    round_start=$SECONDS
    passed=0 fails=0 skipped=0 names=()
    for stage in "${stages[@]}"; do
        # shellcheck disable=SC2206
        args=(${stage_args[$stage]})
        junit=$out/rounds/$round-$stage.xml
        ctest --test-dir "$win" -j "$jobs" --output-on-failure --test-output-size-failed 4194304 \
            --output-junit "$junit" "${args[@]}" "$@" >"$out/rounds/$round-$stage.log" 2>&1 || true
        if [ ! -s "$junit" ]; then
            # Counted as a failure of the stage itself; CTest's output says why.
            name="($stage stage: CTest wrote no results)"
            failed_rounds[$name]+=" $round"
            names+=("$name")
            fails=$((fails + 1))
            continue
        fi
        read -r p f s < <(python3 "$QB_ROOT/scripts/junit.py" counts "$junit")
        passed=$((passed + p)) fails=$((fails + f)) skipped=$((skipped + s))
        while IFS= read -r name; do
            failed_rounds[$name]+=" $round"
            names+=("$name")
        done < <(python3 "$QB_ROOT/scripts/junit.py" logs "$junit" "$out" "$round")
    done
    all_failures=$((all_failures + fails)) all_skipped=$((all_skipped + skipped))
    echo "round $round/$rounds: $passed passed, $fails failed, $skipped skipped ($(qb_took $((SECONDS - round_start))))"
    for name in "${names[@]}"; do echo "  failed: $name"; done
done

printf '\n'
qb_log "soak summary"
echo "rounds: $rounds in $(qb_took $((SECONDS - start))) ($(qb_took $(((SECONDS - start) / rounds))) a round; build and set-up before: $(qb_took "$start"))"
echo "skipped tests: $all_skipped"
if [ "$all_failures" -eq 0 ]; then
    echo "failures: none"
    exit 0
fi
echo "failures: $all_failures, in ${#failed_rounds[@]} tests (logs in $out/<test>/round-<k>.log):"
for name in "${!failed_rounds[@]}"; do
    read -ra in_rounds <<<"${failed_rounds[$name]}"
    echo "  ${#in_rounds[@]} of $rounds rounds (round${in_rounds[1]:+s} ${in_rounds[*]}): $name"
done | sort -t: -k1,1nr
exit 1
