#!/usr/bin/env bash
# The Windows run's script, scripts/windows-tests.cmd, under Wine's cmd, down
# each of its paths: a test program, an end-to-end test (the case that clicks
# the About links named too, which the script must leave out), a program that
# is missing (the run must fail, naming it), and the release's loopback run
# from a zip that the release's own packer made of this tree's quillbin.exe;
# then once more with a zip that lacks the program. tar_stand_in.exe unzips
# in place of Windows' tar.exe.
# Usage: windows_tests_cmd.sh TREE WINERUN      (the script runs in the end-to-end tests' prefix)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$1 winerun=$2
work=$tree/windows-tests-cmd
rm -rf "$work"
mkdir -p "$work/bad"
windows() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }
fail() { echo "windows_tests_cmd: $*" >&2; exit 1; }

SOURCE_DATE_EPOCH=315532800 python3 "$root/scripts/package_zip.py" "$tree/quillbin.exe" "$root/README.ja.md" \
    "$root/LICENSE" "$work/quillbin-0-win64.zip"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").writestr("README.ja.txt", "")' \
    "$work/bad/quillbin-0-win64.zip"
cat >"$work/list.txt" <<'LIST'
# one test program, one end-to-end test, one that is not there
resources_win_test.exe
e2e_test.exe AboutBox.TheSystemMenuEndsWithASeparatorAndTheAboutEntry:AboutBox.AClickOnALink*
absent_test.exe
LIST
: >"$work/empty.txt"

# run ZIP LIST OUT: the script's output into OUT.log; its status is returned.
run() {
    local status=0
    QB_TAR=$(windows "$tree/tar_stand_in.exe") "$winerun" --prefix e2e cmd /c "$(windows "$root/scripts/windows-tests.cmd")" \
        "$(windows "$tree")" "$(windows "$1")" "$(windows "$work/$3")" "$(windows "$work/$2")" \
        >"$work/$3.log" 2>&1 || status=$?
    cat "$work/$3.log"
    return $status
}

status=0
run "$work/quillbin-*-win64.zip" list.txt out || status=$?
[ $status -eq 1 ] || fail "the run with a missing program ended with status $status, not 1"
grep -q 'windows-tests: 3 passed, 1 failed' "$work/out.log" || fail "the summary does not count 3 passed, 1 failed"
grep -q 'windows-tests: failed: absent_test.exe$' <(tr -d '\r' <"$work/out.log") || fail "the missing program is not named"
python3 - "$work/out/junit" <<'PY'
import pathlib, sys, xml.etree.ElementTree as ET
folder = pathlib.Path(sys.argv[1])
found = sorted(p.name for p in folder.iterdir())
assert found == ["e2e_test.xml", "release_run_test.xml", "resources_win_test.xml"], found
for path in sorted(folder.iterdir()):
    root = ET.parse(path).getroot()
    cases = [f"{c.get('classname')}.{c.get('name')}" for c in root.iter("testcase")]
    assert cases and all(c.get("result") == "completed" for c in root.iter("testcase")), (path.name, cases)
    assert root.get("failures") == "0" and root.get("errors") == "0", path.name
    print(f"{path.name}: {len(cases)} passed")
e2e = [c.get("name") for c in ET.parse(folder / "e2e_test.xml").getroot().iter("testcase")]
assert e2e == ["TheSystemMenuEndsWithASeparatorAndTheAboutEntry"], f"the link case was not left out: {e2e}"
PY
[ "$(ls "$work/out/unzipped")" = "$(printf 'quillbin.exe\nquillbin.ini')" ] ||
    fail "the release's folder holds: $(ls "$work/out/unzipped" | tr '\n' ' ')"

status=0
run "$work/bad/quillbin-0-win64.zip" empty.txt bad-out || status=$?
[ $status -eq 1 ] || fail "the run with a zip that lacks quillbin.exe ended with status $status, not 1"
grep -q 'windows-tests: failed: unzipping$' <(tr -d '\r' <"$work/bad-out.log") || fail "the failed unzipping is not named"
echo "windows-tests.cmd: every path taken as expected"
