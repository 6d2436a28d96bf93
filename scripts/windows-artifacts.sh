#!/usr/bin/env bash
# Builds what the Windows run (.github/workflows/windows.yml) takes to a
# Windows runner, the way the test command builds it: the Windows tree
# (build/win, MinGW-w64, qb_configure_win) and the release package
# (scripts/package.sh). Into OUT:
#   programs/  every program and DLL of the Windows tree (the test programs,
#              quillbin.exe, ghost_host.exe, what the tests start), the list
#              of test programs (windows-tests.txt) and the script that runs
#              them (windows-tests.cmd)
#   release/   the release zip, quillbin-<version>-win64.zip
# Usage: scripts/windows-artifacts.sh OUT
set -euo pipefail
source "$(dirname "$0")/lib.sh"
out=${1:?usage: scripts/windows-artifacts.sh OUT}

qb_install_packages
qb_log "Windows tree (MinGW-w64)"
qb_configure_win
cmake --build "$QB_BUILD/win" -j "$(nproc)"
rm -rf "$out"
mkdir -p "$out/programs" "$out/release"
"$QB_ROOT/scripts/package.sh" "$QB_BUILD/release" "$out/release"

# Left behind: the helpers of the run under Wine (the desktop keeper, and
# the stand-in for the tar.exe that Windows has).
for file in "$QB_BUILD/win"/*.exe "$QB_BUILD/win"/*.dll; do
    case ${file##*/} in desktop_keeper.exe | tar_stand_in.exe) continue ;; esac
    cp "$file" "$out/programs/"
done
cp "$QB_BUILD/win/windows-tests.txt" "$QB_ROOT/scripts/windows-tests.cmd" "$out/programs/"
qb_log "$out: $(ls "$out/programs" | wc -l) files in programs/, $(ls "$out/release")"
