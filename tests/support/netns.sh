# Shared by the scripts that build network namespaces for tests.
# Sourced, not run.

readonly SKIP=77

# Skips the caller (exit 77) where namespaces cannot be made: they need root
# for the namespaces and raw sockets, and the ip command of iproute2.
require_netns_privileges() {
    local what=$1
    if [ "$(id -u)" -ne 0 ]; then
        echo "$what skipped: it needs root (network namespaces, raw sockets)"
        exit $SKIP
    fi
    if ! command -v ip >/dev/null 2>&1; then
        echo "$what skipped: the ip command (package iproute2) is missing"
        exit $SKIP
    fi
}

ns_exists() { ip netns list | awk '{print $1}' | grep -qx "$1"; }

# Ends the prefix's wineserver and waits until it has gone, so that the next
# Wine process starts a server where it runs (inside or outside a namespace).
stop_wineserver() {
    local prefix=$1
    [ -d "$prefix" ] || return 0
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
}
