#!/usr/bin/env bash
# Checks of the release package (scripts/package.sh), one per action:
#
#   package TREE                 a fresh release build in TREE/build, its zip in TREE/dist
#   same TREE_A TREE_B           the two trees' executables and zips are byte for byte the same
#   executable TREE              what the executable imports, its header, no debug sections
#   zip TREE                     the zip's entries, their order and times, the read-me's form
#   run TREE WINERUN DRIVER      quillbin.exe unzipped alone into an empty folder, run by DRIVER
#                                in a fresh Wine prefix on a display of its own
set -euo pipefail
readonly HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly ROOT=$(cd "$HERE/../.." && pwd)
readonly OBJDUMP=x86_64-w64-mingw32-objdump
# The DLLs that every Windows 10 and 11 has, and nothing beyond them.
readonly ALLOWED_DLLS="COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll WS2_32.dll"

fail() { echo "release: $*" >&2; exit 1; }

zip_of() {
    local zips=("$1"/dist/quillbin-*-win64.zip)
    [ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "no single package in $1/dist"
    echo "${zips[0]}"
}

package() {
    local tree=$1
    rm -rf "$tree"
    mkdir -p "$tree"
    # One job each: the two trees are built side by side.
    QB_JOBS=${QB_JOBS:-1} "$ROOT/scripts/package.sh" "$tree/build" "$tree/dist"
}

same() {
    local a=$1 b=$2 zip_a zip_b
    zip_a=$(zip_of "$a")
    zip_b=$(zip_of "$b")
    [ "$(basename "$zip_a")" = "$(basename "$zip_b")" ] || fail "the packages are named differently"
    cmp "$a/build/quillbin.exe" "$b/build/quillbin.exe" || fail "the executables differ"
    cmp "$zip_a" "$zip_b" || fail "the zips differ"
    echo "same bytes: quillbin.exe ($(stat -c %s "$a/build/quillbin.exe") bytes), $(basename "$zip_a") ($(stat -c %s "$zip_a") bytes)"
}

executable() {
    local exe=$1/build/quillbin.exe headers sections dlls status=0
    headers=$(TZ=UTC "$OBJDUMP" -p "$exe")
    sections=$("$OBJDUMP" -h "$exe")

    dlls=$(sed -nE 's/^\s*DLL Name: (.*)$/\1/p' <<<"$headers" | sort -u)
    local dll
    for dll in $dlls; do
        if ! grep -qw -- "$dll" <<<"$ALLOWED_DLLS"; then
            echo "imports $dll, which is not among: $ALLOWED_DLLS"
            status=1
        fi
    done
    echo "imports: $(echo $dlls)"

    expect() {  # expect WHAT PATTERN
        if grep -qE -- "$2" <<<"$headers"; then echo "ok: $1"; else echo "missing: $1"; status=1; fi
    }
    expect "64-bit image (PE32+)" '^Magic\s+020b\s+\(PE32\+\)'
    expect "GUI subsystem" '^Subsystem\s+00000002\s+\(Windows GUI\)'
    expect "ASLR (DYNAMIC_BASE)" '^\s+DYNAMIC_BASE$'
    expect "high-entropy ASLR (HIGH_ENTROPY_VA)" '^\s+HIGH_ENTROPY_VA$'
    expect "DEP (NX_COMPAT)" '^\s+NX_COMPAT$'
    expect "no link time stamp" '^Time/Date\s+Thu Jan  1 00:00:00 1970$'
    if grep -qE '\s\.debug' <<<"$sections" || grep -qE '^Entry 6 0*[1-9a-f]' <<<"$headers"; then
        echo "debug information found:"
        grep -E '\s\.debug|^Entry 6' <<<"$sections$headers" || true
        status=1
    else
        echo "ok: no debug sections or debug directory"
    fi
    return $status
}

zip_check() {
    local zip work
    zip=$(zip_of "$1")
    work=$(mktemp -d)
    trap 'rm -rf "$work"' RETURN
    python3 - "$zip" "$work" <<'PY'
import sys, zipfile
path, work = sys.argv[1:]
expected = ["quillbin.exe", "README.ja.txt", "LICENSE.txt", "SHA256SUMS.txt"]
with zipfile.ZipFile(path) as z:
    infos = z.infolist()
    names = [i.filename for i in infos]
    assert names == expected, f"entries {names}, expected {expected}"
    assert len({i.date_time for i in infos}) == 1, "the entries' times differ"
    z.extractall(work)
    readme = z.read("README.ja.txt")
assert readme.startswith(b"\xef\xbb\xbf"), "the read-me has no byte order mark"
text = readme[3:].decode("utf-8")
assert "\n" not in text.replace("\r\n", ""), "the read-me has a line end other than CR LF"
assert "ICMP Echo Quillbin" in text and "結果" in text, "the read-me lacks its content"
print(f"entries: {' '.join(names)}; time {infos[0].date_time}; read-me UTF-8 with BOM, CR LF")
PY
    (cd "$work" && sha256sum -c SHA256SUMS.txt)
}

run() {
    local tree=$1 winerun=$2 driver=$3 zip status=0
    zip=$(zip_of "$tree")
    # Global: the clean-up runs on exit, after this function has returned.
    run_work=$(mktemp -d)
    local folder=$run_work/unzipped prefix=$run_work/prefix
    mkdir "$folder"
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract("quillbin.exe", sys.argv[2])' "$zip" "$folder"
    [ "$(ls -A "$folder")" = quillbin.exe ] || fail "the folder holds more than quillbin.exe"

    # shellcheck source=../../scripts/lib.sh
    source "$ROOT/scripts/lib.sh"
    cleanup() {
        WINEPREFIX=$run_work/prefix wineserver -k 2>/dev/null || true
        qb_stop_display
        rm -rf "$run_work"
    }
    trap cleanup EXIT
    qb_start_xvfb
    # The fresh prefix is made by the first start in it, on this display.
    QB_RELEASE_EXE="Z:$(tr / '\\' <<<"$folder/quillbin.exe")" DISPLAY=$QB_XVFB_DISPLAY \
        "$winerun" --prefix "$prefix" "$driver" || status=$?
    return $status
}

[ $# -ge 2 ] || fail "usage: release_check.sh package|same|executable|zip|run TREE..."
action=$1
shift
case $action in
    package) package "$@" ;;
    same) same "$@" ;;
    executable) executable "$@" ;;
    zip) zip_check "$@" ;;
    run) run "$@" ;;
    *) fail "unknown action: $action" ;;
esac
