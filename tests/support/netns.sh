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

# A namespace's own hosts file: `ip netns exec NS` mounts /etc/netns/NS/hosts
# over /etc/hosts for the programs it starts, so names resolve there without
# any change to the machine's /etc/hosts. /etc/netns is made where it is
# missing, marked so, and removed again by the last test that leaves it
# (several build trees may run their tests at once: a lock orders them).
readonly NETNS_ETC=/etc/netns
readonly NETNS_MARK=.made-by-quillbin-tests
readonly NETNS_LOCK=/tmp/quillbin-netns.lock

# netns_hosts_set NS LINE...: NS's hosts file holds these lines.
netns_hosts_set() {
    local ns=${1:?}
    shift
    (
        flock -w 60 7 || { echo "timed out waiting for $NETNS_LOCK" >&2; exit 1; }
        if [ ! -d "$NETNS_ETC" ]; then
            mkdir "$NETNS_ETC"
            : >"$NETNS_ETC/$NETNS_MARK"
        fi
        mkdir -p "$NETNS_ETC/$ns"
        printf '%s\n' "$@" >"$NETNS_ETC/$ns/hosts"
    ) 7>"$NETNS_LOCK"
}

# netns_hosts_clear NS: removes what netns_hosts_set made for NS, and
# /etc/netns when a test made it and nothing else is left in it.
netns_hosts_clear() {
    local ns=${1:?}
    [ -d "$NETNS_ETC/$ns" ] || [ -e "$NETNS_ETC/$NETNS_MARK" ] || return 0
    (
        flock -w 60 7 || { echo "timed out waiting for $NETNS_LOCK" >&2; exit 1; }
        rm -f "$NETNS_ETC/$ns/hosts"
        if [ -d "$NETNS_ETC/$ns" ]; then rmdir "$NETNS_ETC/$ns"; fi
        if [ -e "$NETNS_ETC/$NETNS_MARK" ] && [ "$(ls -A "$NETNS_ETC")" = "$NETNS_MARK" ]; then
            rm -f "$NETNS_ETC/$NETNS_MARK"
            rmdir "$NETNS_ETC"
        fi
    ) 7>"$NETNS_LOCK"
}
