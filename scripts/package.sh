#!/usr/bin/env bash
# Builds the release executable and writes the package that Windows users
# download: dist/quillbin-<version>-win64.zip with quillbin.exe, the Japanese
# read-me as plain text (made from README.ja.md), the licence and a SHA-256
# list of the three.
#
# Two runs on one commit give the same bytes, in any build tree: the build
# leaves out the link time stamp and the build's paths (CMakeLists.txt,
# Release), and every entry of the zip carries the commit's time.
#
# Usage: scripts/package.sh [BUILD_DIR [DIST_DIR]]
#   BUILD_DIR  the release build tree (default build/release)
#   DIST_DIR   where the zip goes (default dist)
# QB_JOBS sets the build's parallel jobs (default: the number of cores).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build=${1:-$QB_BUILD/release}
dist=${2:-$QB_ROOT/dist}

qb_install_packages

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$QB_ROOT" log -1 --format=%ct 2>/dev/null) ||
        { echo "package: not a git checkout; set SOURCE_DATE_EPOCH to the time the package should carry" >&2; exit 1; }
    if [ -n "$(git -C "$QB_ROOT" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        qb_log "note: the work tree has uncommitted changes; they are in the package"
    fi
fi
export SOURCE_DATE_EPOCH

qb_log "release build in $build"
cmake -S "$QB_ROOT" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DQUILLBIN_TESTS=OFF -DQUILLBIN_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "${QB_JOBS:-$(nproc)}" --target quillbin

version=$(cat "$build/quillbin-version.txt")
zip=$dist/quillbin-$version-win64.zip
mkdir -p "$dist"
python3 "$QB_ROOT/scripts/package_zip.py" "$build/quillbin.exe" "$QB_ROOT/README.ja.md" "$QB_ROOT/LICENSE" "$zip"
qb_log "$zip: $(stat -c %s "$zip") bytes (quillbin.exe $(stat -c %s "$build/quillbin.exe") bytes)"
