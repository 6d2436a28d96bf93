# Shared by the run, test, soak and benchmark commands: installs what a fresh
# Debian 12 machine lacks (or, with QB_NO_INSTALL=1, names it), prepares
# private Wine prefixes and provides X displays.
# Sourced, not run.

QB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QB_BUILD=${QB_BUILD:-$QB_ROOT/build}
# The run command's prefix, and the tests' own: a test run stops its
# wineserver, which must never end a program started with the run command.
QB_RUN_PREFIX=$QB_BUILD/win/wineprefix
QB_TEST_PREFIX=$QB_BUILD/win/test-prefix

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

# qb_wine_env [PREFIX]: the Wine environment every program of ours runs in,
# in PREFIX (default: the run command's). A WINEPREFIX of the caller's own is
# never used: its registry would be changed.
qb_wine_env() {
    export WINEPREFIX=${1:-$QB_RUN_PREFIX}
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# QB_WINE, the command, and qb_wine ARGS...: wine, with the kernel's address
# randomisation off for it and every process it starts. Debian's Wine has no
# preloader: its loader is a fixed-address program at 0x7d000000, and the
# kernel starts glibc's heap anywhere in the gigabyte above it. Now and then
# (about one start in several thousand) that heap lies on the page Wine must
# map at 0x7ffe0000, and the new process dies before it runs ("failed to map
# the shared user data: c0000018"): its parent's CreateProcess fails with
# error 1359, or, where it was the desktop process, a window cannot be made.
# Without the randomisation the heap starts right after the loader, far
# below that page.
QB_WINE=(setarch -R wine)
qb_wine() { "${QB_WINE[@]}" "$@"; }

# qb_wine_prefix [PREFIX]: as qb_wine_env, and creates the prefix once (the
# first start takes 10-15 s).
qb_wine_prefix() {
    qb_wine_env "$@"
    "$QB_ROOT/scripts/wine-prefix.sh" "$WINEPREFIX"
}

# qb_wine_server_start [KEEPER]: one wineserver for a whole test run, in the
# current WINEPREFIX: hundreds of short test programs then neither start a
# server each nor race one that is shutting down. Wine's own services and
# the desktop (held by KEEPER, by default the Windows tree's desktop_keeper.exe)
# are started here with no output attached: started by a test program
# instead, they would inherit its output pipe and keep it open, and CTest
# would count that test as running until they end.
qb_wine_server_start() {
    # Whatever an earlier, interrupted run left in the prefix goes first.
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    qb_wine cmd /c exit </dev/null >/dev/null 2>&1
    qb_wine_desktop_start "${1:-$QB_BUILD/win/desktop_keeper.exe}"
}

# qb_wine_desktop_start KEEPER: starts the desktop of the current WINEPREFIX
# with KEEPER (tests/support/desktop_keeper.cpp says why), with no output
# attached, and waits until it is up. The keeper ends with the wineserver.
qb_wine_desktop_start() {
    local ready i
    ready=$(mktemp -u "$WINEPREFIX/.desktop-ready.XXXXXX")
    qb_wine "$1" "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 &
    for i in $(seq 1 300); do
        [ -e "$ready" ] && { rm -f "$ready"; return 0; }
        sleep 0.1
    done
    echo "the desktop keeper ($1) did not start within 30 s" >&2
    return 1
}

# qb_wine_server_stop PREFIX...: ends the wineservers of those prefixes (and
# every program in them) and waits until they have gone.
qb_wine_server_stop() {
    local prefix
    for prefix in "$@"; do
        [ -d "$prefix" ] || continue
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
    done
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
    qb_wine_prefix "$dir/wineprefix"
    qb_log "$target"
    qb_wine "$dir/$target.exe" "$@"
}

# Where the Wine tests run (the test and soak commands): the tests' own
# prefix with one wineserver for the whole run, and two private displays,
# one of them for the end-to-end tests alone: windows of the other tests
# would take the focus from the program they drive, or stand in their
# screenshots. Set a trap that calls qb_wine_tests_stop before calling this.
qb_wine_tests_start() {
    QB_WINE_TESTS_STARTED=1
    qb_wine_prefix "$QB_TEST_PREFIX"
    qb_start_xvfb
    export DISPLAY=$QB_XVFB_DISPLAY
    qb_start_xvfb
    export QB_E2E_DISPLAY=$QB_XVFB_DISPLAY
    qb_wine_server_start
}

# Ends what qb_wine_tests_start started and whatever an interrupted test
# leaves running: the namespaces and responder of the network lab, the
# wineservers of the tests' prefixes (each ends the programs in it).
qb_wine_tests_stop() {
    [ "${QB_WINE_TESTS_STARTED:-0}" = 1 ] || { qb_stop_display; return 0; }
    local win=$QB_BUILD/win
    # lab.sh down does nothing where the lab is not up (or cannot be).
    "$QB_ROOT/tests/lab/lab.sh" down "$win/lab" >/dev/null 2>&1 || true
    qb_wine_server_stop "$QB_TEST_PREFIX" "$win/e2e-prefix"
    qb_stop_display
    QB_WINE_TESTS_STARTED=0
}

# qb_ctest_selected DIR [ctest args...]: how many tests the arguments select
# in DIR (fixtures they need included).
qb_ctest_selected() {
    local dir=$1
    shift
    ctest --test-dir "$dir" --show-only=json-v1 "$@" | python3 "$QB_ROOT/scripts/junit.py" selected
}
