#!/usr/bin/env bash
# Formatting (clang-format, .clang-format) and static analysis (clang-tidy,
# .clang-tidy) of the portable core and its tests: base/, echo/, sstp/, settings/,
# framework/ and tests/{base,echo,sstp,settings,framework,fuzz}, their win/
# folders aside (MinGW code that the native compile commands do not cover).
# Prints every finding and fails on any. scripts/test.sh runs it.
#
# clang-tidy reads the native tree's compile commands (build/native, which is
# configured here when it is missing); the fuzz target, which only the clang
# fuzz tree compiles, and any header that no checked source includes are
# checked with the flags of the core's own sources.
#
# Usage: scripts/lint.sh [--fix]
#   --fix   reformats the files and applies the fixes clang-tidy offers, then
#           checks again (review the changes: not every finding has a fix)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

fix=0
case ${1:-} in
    "") ;;
    --fix) fix=1 ;;
    *)
        echo "usage: scripts/lint.sh [--fix]" >&2
        exit 2
        ;;
esac

cd "$QB_ROOT"
start=$SECONDS
jobs=$(nproc)

# clang-tidy-14 brings clang-apply-replacements-14; the unversioned name
# comes only with clang-tools. It is needed by --fix alone.
apply_replacements=$(command -v clang-apply-replacements || command -v clang-apply-replacements-14 || true)
for tool in clang-format clang-tidy; do
    if ! command -v $tool >/dev/null; then
        echo "lint: $tool is missing (apt-get install clang-format clang-tidy; scripts/test.sh installs them)" >&2
        exit 1
    fi
done

# The files checked: every C++ source and header of these folders but win/.
folders=(base echo sstp settings framework tests/base tests/echo tests/sstp tests/settings tests/framework tests/fuzz)
mapfile -t files < <(
    find "${folders[@]}" -path '*/win' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort
)

if [ $fix -eq 1 ]; then clang-format -i "${files[@]}"; fi
format_failed=0
clang-format --dry-run -Werror "${files[@]}" || format_failed=1

native=$QB_BUILD/native
if [ ! -f "$native/compile_commands.json" ]; then
    qb_log "lint: configuring $native for its compile commands"
    cmake -S "$QB_ROOT" -B "$native" -G Ninja -DQUILLBIN_SANITIZE=ON >/dev/null
fi

# A compile database of the checked files alone (build/lint), in which every
# checked source must have its command: a source that no target compiles
# natively would otherwise go unchecked without a word.
lint_dir=$QB_BUILD/lint
rm -rf "$lint_dir"
mkdir -p "$lint_dir"
if ! python3 - "$QB_ROOT" "$native/compile_commands.json" "$lint_dir" "${files[@]}" <<'EOF'; then
import json, os, re, shlex, sys

root, database, out_dir, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
entries = {os.path.relpath(e["file"], root): e for e in json.load(open(database))}

# The flags of a core source, for files that have no command of their own.
model = entries.get("sstp/host_directory.cpp")
if model is None:
    sys.exit(f"lint: {database} has no command for sstp/host_directory.cpp")
model_args = shlex.split(model["command"]) if "command" in model else list(model["arguments"])
model_args = [a for a in model_args if a not in ("-c", model["file"])]
if "-o" in model_args:
    at = model_args.index("-o")
    del model_args[at:at + 2]

def synthetic(path, *extra):
    full = os.path.join(root, path)
    return {"directory": root, "file": full, "arguments": model_args + list(extra) + ["-c", full]}

# The project's includes, to find the headers that no checked source reaches.
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
def includes(path):
    try:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            return include.findall(f.read())
    except OSError:
        return []

selected, missing, reached = [], [], set()
pending = [f for f in files if f.endswith(".cpp")]
for source in pending:
    if source in entries:
        selected.append(entries[source])
    elif source.startswith("tests/fuzz/"):
        selected.append(synthetic(source))
    else:
        missing.append(source)
while pending:
    for header in includes(pending.pop()):
        if header not in reached:
            reached.add(header)
            pending.append(header)
for header in files:
    if header.endswith(".h") and header not in reached:
        selected.append(synthetic(header, "-x", "c++"))

if missing:
    sys.exit("lint: no native compile command for " + ", ".join(missing) +
             " (add it to a native target, or keep it in a win/ folder)")
with open(os.path.join(out_dir, "compile_commands.json"), "w") as f:
    json.dump(selected, f, indent=1)
# The slowest first, so that both cores stay busy to the end.
for entry in sorted(selected, key=lambda e: -os.path.getsize(e["file"])):
    print(os.path.relpath(entry["file"], root))
EOF
    exit 1
fi >"$lint_dir/files"

# Diagnostics in the project's own headers of those folders are reported
# with each source that includes them (a header alone is checked only when no
# source reaches it).
root_pattern=$(printf '%s' "$QB_ROOT" | sed 's/[][\\.^$*+?(){}|]/\\&/g')
header_filter="^$root_pattern/($(IFS='|'; echo "${folders[*]}"))/[^/]+\\.h\$"
tidy_args=(-p "$lint_dir" --quiet --header-filter="$header_filter" --warnings-as-errors='*'
    # A warning option that only GCC knows must not stop clang.
    --extra-arg=-Wno-unknown-warning-option)
if [ $fix -eq 1 ]; then
    mkdir -p "$lint_dir/fixes"
    # Fixes are collected and then applied once, so that two sources that
    # include one header do not both edit it.
    xargs -a "$lint_dir/files" -P "$jobs" -n 1 sh -c \
        'clang-tidy "$@" --export-fixes="$0/fixes/$$.yaml" >/dev/null 2>&1 || true' "$lint_dir" "${tidy_args[@]}"
    "${apply_replacements:?clang-apply-replacements is missing}" --format --style=file "$lint_dir/fixes"
fi
# Each file's output in one piece, so that those of two parallel runs do not
# interleave; the compiler's "N warnings generated" lines are dropped.
tidy_failed=0
run_one='out=$(clang-tidy "$@" 2>&1); status=$?
[ -z "$out" ] || printf "%s\n" "$out" | grep -v "^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$" || true
exit $((status != 0))'
xargs -a "$lint_dir/files" -P "$jobs" -n 1 sh -c "$run_one" sh "${tidy_args[@]}" || tidy_failed=1

took=$(qb_took $((SECONDS - start)))
count=$(wc -l <"$lint_dir/files")
if [ $format_failed -eq 1 ] || [ $tidy_failed -eq 1 ]; then
    what=()
    [ $format_failed -eq 0 ] || what+=("clang-format")
    [ $tidy_failed -eq 0 ] || what+=("clang-tidy")
    echo "lint: findings of ${what[*]} above (${#files[@]} files formatted, $count checked, $took)" >&2
    [ $fix -eq 1 ] || echo "lint: scripts/lint.sh --fix applies what the tools can fix" >&2
    exit 1
fi
echo "lint: no finding (${#files[@]} files formatted, $count checked by clang-tidy, $took)"
