#!/usr/bin/env bash
# Runs a settings test program (COMMAND...) with QB_READ_ONLY_SETTINGS naming
# a settings file that the program may not change: read-only and, where the
# tests run as root (whom Wine lets write read-only files), immutable as well
# (chattr +i), which the kernel refuses to change even for root. The flag is
# cleared on the way out however the program ends; one left behind by a run
# killed outright is cleared by the next run.
# Usage: read_only_file.sh FOLDER COMMAND...
set -euo pipefail
mkdir -p "$1"
base=$(cd "$1" && pwd)
shift

clear_folder() {
    chattr -i "$1"/* 2>/dev/null || true
    rm -rf "$1"
}
# One folder per run, named after its process: those of runs that are gone.
for old in "$base"/*; do
    [ -d "$old" ] || continue
    kill -0 "${old##*/}" 2>/dev/null || clear_folder "$old"
done

folder=$base/$$
file=$folder/pinger.ini
trap 'clear_folder "$folder"' EXIT
mkdir -p "$folder"
printf '[General]\r\nPingNum=3\r\n' >"$file"
chmod a-w "$file"
# Where the file system has no such flag the test sees a writable file and
# says so when it skips.
if [ "$(id -u)" -eq 0 ]; then chattr +i "$file" 2>/dev/null || true; fi
export QB_READ_ONLY_SETTINGS="Z:${file//\//\\}"
"$@"
