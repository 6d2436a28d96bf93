# Shared by the run and test commands: installs what a fresh Debian 12 machine
# lacks, prepares the private Wine prefix and provides an X display.
# Sourced, not run.

QB_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QB_BUILD=${QB_BUILD:-$QB_ROOT/build}

qb_log() { printf '\033[1m==> %s\033[0m\n' "$*" >&2; }

qb_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian packages the build, the tests and the run need. fonts-wine gives Wine
# its own fonts, Marlett among them: without it the caption buttons draw as
# letters.
QB_PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    wine wine64 fonts-wine xvfb x11-utils xauth fonts-ipafont-gothic locales
    iproute2 python3 imagemagick
)

qb_install_packages() {
    local missing=()
    for p in "${QB_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        qb_log "installing: ${missing[*]}"
        qb_as_root apt-get update -qq
        qb_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives 932.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        qb_log "generating the ja_JP.UTF-8 locale"
        qb_as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | qb_as_root tee -a /etc/locale.gen >/dev/null
        qb_as_root locale-gen >/dev/null
    fi
}

# The Wine environment every program of ours runs in.
qb_wine_env() {
    export WINEPREFIX=${WINEPREFIX:-$QB_BUILD/win/wineprefix}
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Creates the private prefix once (the first start takes 10-15 s).
qb_wine_prefix() {
    qb_wine_env
    "$QB_ROOT/scripts/wine-prefix.sh" "$WINEPREFIX"
}

# One wineserver for a whole test run: hundreds of short test programs then
# neither start a server each nor race one that is shutting down. Wine's own
# services (and the desktop window) are started here with no terminal attached:
# started by the first test program instead, they would inherit its output
# pipe and keep it open, and CTest would wait for them until its time-out.
qb_wine_server_start() {
    qb_wine_env
    # Whatever an earlier, interrupted run left in the prefix goes first.
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

qb_wine_server_stop() {
    qb_wine_env
    wineserver -k 2>/dev/null || true
}

# Starts an Xvfb on a free display; sets QB_XVFB_DISPLAY and remembers the
# server so that qb_stop_display ends it.
QB_XVFB_PIDS=()
qb_start_xvfb() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QB_XVFB_PIDS+=($!)
    QB_XVFB_DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
        DISPLAY=$QB_XVFB_DISPLAY xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $QB_XVFB_DISPLAY" >&2
    return 1
}

# Uses the current display when there is one, else starts Xvfb; sets DISPLAY.
qb_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    qb_start_xvfb
    export DISPLAY=$QB_XVFB_DISPLAY
}

qb_stop_display() {
    local pid
    for pid in "${QB_XVFB_PIDS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    QB_XVFB_PIDS=()
    return 0
}
