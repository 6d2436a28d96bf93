# Shared by the run, test, soak and benchmark commands: installs what a fresh
# Debian 12 machine lacks (or, with QB_NO_INSTALL=1, names it), configures
# the Windows tree and provides X displays. Wine programs run through the
# tree's wine-run.sh (cmake/wine-run.sh.in), which holds Wine's environment.
# Sourced, not run.

QB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QB_BUILD=${QB_BUILD:-$QB_ROOT/build}
# The run command's prefix: never one of the tests' (a test run stops their
# wineservers, which must never end a program started with the run command).
QB_RUN_PREFIX=$QB_BUILD/win/wineprefix

qb_log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

# qb_took SECONDS: "42 s", or "3 min 5 s".
qb_took() {
    if [ "$1" -lt 60 ]; then echo "$1 s"; else echo "$(($1 / 60)) min $(($1 % 60)) s"; fi
}

qb_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian packages the build, the tests and the benchmarks need. fonts-wine
# gives Wine its own fonts, Marlett among them: without it the caption buttons
# draw as letters. clang-format and clang-tidy (scripts/lint.sh) are of the
# same LLVM release (14) as the clang that builds the fuzz targets.
QB_PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
    wine wine64 fonts-wine xvfb x11-utils xauth fonts-ipafont-gothic locales
    iproute2 python3 imagemagick e2fsprogs
)
# Those the run command needs: configuring the Windows tree also takes
# GoogleTest and a native g++ (for the lab's responder).
QB_RUN_PACKAGES=(
    cmake ninja-build g++ googletest
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    wine wine64 fonts-wine xvfb x11-utils xauth fonts-ipafont-gothic locales
)

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932.
qb_has_japanese_locale() { locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; }

# qb_install_packages [PACKAGE...]: installs those missing (default: all of
# QB_PACKAGES) and generates the ja_JP.UTF-8 locale. With QB_NO_INSTALL=1 it
# changes nothing: it names what is missing and ends the command if anything is.
qb_install_packages() {
    local wanted=("$@") missing=() p
    [ ${#wanted[@]} -gt 0 ] || wanted=("${QB_PACKAGES[@]}")
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ "${QB_NO_INSTALL:-0}" = 1 ]; then
        local lacking=0
        if [ ${#missing[@]} -gt 0 ]; then
            echo "missing packages: ${missing[*]}" >&2
            echo "  (apt-get install --no-install-recommends ${missing[*]})" >&2
            lacking=1
        fi
        if ! qb_has_japanese_locale; then
            echo "missing locale: ja_JP.UTF-8 (uncomment it in /etc/locale.gen, then run locale-gen)" >&2
            lacking=1
        fi
        if [ $lacking -eq 1 ]; then
            echo "QB_NO_INSTALL=1: nothing was installed, and the command cannot go on without the above" >&2
            exit 1
        fi
        return 0
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        qb_log "installing: ${missing[*]}"
        qb_as_root apt-get update -qq
        qb_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    if ! qb_has_japanese_locale; then
        qb_log "generating the ja_JP.UTF-8 locale"
        qb_as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | qb_as_root tee -a /etc/locale.gen >/dev/null
        qb_as_root locale-gen >/dev/null
    fi
}

# Starts an Xvfb on a display that it picks itself (so that two commands
# started at once cannot pick the same one); sets QB_XVFB_DISPLAY and
# remembers the server so that qb_stop_display ends it.
QB_XVFB_PIDS=()
qb_start_xvfb() {
    local numberfile pid i
    mkdir -p "$QB_BUILD"
    numberfile=$(mktemp "$QB_BUILD/.xvfb-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    pid=$!
    QB_XVFB_PIDS+=("$pid")
    # Xvfb writes the display's number once it takes connections.
    for i in $(seq 1 100); do
        [ -s "$numberfile" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    QB_XVFB_DISPLAY=:$(tr -dc 0-9 <"$numberfile")
    rm -f "$numberfile"
    if [ "$QB_XVFB_DISPLAY" = : ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
}

# Uses the current display when there is one, else starts Xvfb; sets DISPLAY.
qb_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    qb_start_xvfb
    export DISPLAY=$QB_XVFB_DISPLAY
}

qb_stop_display() {
    local pid
    # Each one's status is of no interest (killed, it is not 0), and must
    # not end a caller under set -e before the other servers are stopped.
    for pid in "${QB_XVFB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    QB_XVFB_PIDS=()
    return 0
}

# The Windows tree that the tests, the run and the benchmarks share. It is
# built as the release is, so the tests run the program with the flags it
# ships with; nothing under Wine reads debug information, and leaving it out
# saves about a minute of building on two cores.
qb_configure_win() {
    cmake -S "$QB_ROOT" -B "$QB_BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
}

# qb_run_bench TARGET [args...]: builds the benchmark TARGET in a Release
# Windows tree (build/bench-win) and runs it under Wine in that tree's prefix.
qb_run_bench() {
    local target=$1 dir=$QB_BUILD/bench-win
    shift
    qb_install_packages
    cmake -S "$QB_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLBIN_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$QB_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$dir" -j "$(nproc)" --target "$target"
    qb_log "$target"
    "$dir/wine-run.sh" --prefix "$dir/wineprefix" "$dir/$target.exe" "$@"
}

# qb_tests_stop: ends what a run of the Windows tree's tests leaves running
# when it is cut short: the network lab (its namespaces, responder and
# wineserver), and the sessions of the tests' prefixes, which end by
# themselves about a second after their CTest has gone (this waits for them).
qb_tests_stop() {
    local win=$QB_BUILD/win
    [ -x "$win/wine-run.sh" ] || return 0
    # lab.sh down does nothing where the lab is not up (or cannot be).
    "$QB_ROOT/tests/lab/lab.sh" down "$win/lab" >/dev/null 2>&1 || true
    "$win/wine-run.sh" --prefix test --stop || true
    "$win/wine-run.sh" --prefix e2e --stop || true
}

# qb_ctest_selected DIR [ctest args...]: how many tests the arguments select
# in DIR (fixtures they need included).
qb_ctest_selected() {
    local dir=$1
    shift
    ctest --test-dir "$dir" --show-only=json-v1 "$@" | python3 "$QB_ROOT/scripts/junit.py" selected
}
