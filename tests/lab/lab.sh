#!/usr/bin/env bash
# The network lab: a few network namespaces joined by veth links, in which the
# echo driver runs real echoes under Wine and its output is compared exactly.
#
#   client  198.18.1.2 ── 198.18.1.1  router  (forwarding, no ICMP rate limits,
#                                              198.18.9.0/24 unreachable,
#                                              no route for 198.19.0.0/16)
#   answer  198.18.2.2 ── 198.18.2.1  router   the kernel answers
#   silent  198.18.3.2 ── 198.18.3.1  router   nothing answers
#   mangle  198.18.4.2, .3 ── .4.1    router   our responder: .2 changes the last
#                                              byte, .3 drops it
#   narrow  198.18.5.2 ── 198.18.5.1  router   a 576-byte MTU link
#
# The client has a route to 198.18.0.0/15 only: no default route, so no name
# query can leave it. It sends as Windows does: without Don't Fragment unless
# asked (Linux would set it on every packet). Its Wine prefix is the lab's
# own, and its wineserver is started inside the client namespace (a server
# outside it would send the echoes from the wrong place).
#
# Usage:
#   lab.sh up LABDIR RESPONDER WINERUN   create the namespaces and start the
#                                        responder; make the lab's prefix
#   lab.sh down LABDIR                   remove everything that up created
#   lab.sh case LABDIR WINERUN DRIVER CASEFILE
#                                        run one case and compare its output
# WINERUN is the tree's wine-run.sh. A case file holds "key: value" lines
# (args, hosts, where), a line "---" and the expected output. "where: local"
# runs the driver outside the lab, in the tests' own prefix; "hosts: ADDRESS
# NAME" gives the client a hosts file of its own for the case
# (/etc/netns/<client>/hosts, which `ip netns exec` puts over /etc/hosts),
# holding localhost and that line; the machine's /etc/hosts is never changed.
# Exits 77 (skipped) where root or the ip command is missing.
set -euo pipefail

# Several build trees may run their labs at once: their namespaces differ by
# name, but the kernel's ICMP error limits are shared.
readonly MACHINE_LOCK=/tmp/quillbin-lab.lock
readonly ROLES=(client router answer silent mangle narrow)
readonly HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../support/netns.sh
. "$HERE/../support/netns.sh"

die() { echo "lab: $*" >&2; exit 1; }

# Names of this lab's namespaces: unique per lab directory.
set_names() {
    labdir=$1
    local tag
    tag=$(printf '%s' "$labdir" | md5sum | cut -c1-6)
    declare -gA NS
    local role
    for role in "${ROLES[@]}"; do NS[$role]="qb$tag-$role"; done
    prefix=$labdir/wineprefix
}

in_ns() { local ns=$1; shift; ip netns exec "$ns" "$@"; }

# link NS_A IF_A ADDR_A NS_B IF_B ADDR_B [MTU]
link() {
    ip -n "$1" link add "$2" type veth peer name "$5" netns "$4"
    ip -n "$1" addr add "$3" dev "$2"
    ip -n "$4" addr add "$6" dev "$5"
    if [ -n "${7:-}" ]; then
        ip -n "$1" link set "$2" mtu "$7"
        ip -n "$4" link set "$5" mtu "$7"
    fi
    ip -n "$1" link set "$2" up
    ip -n "$4" link set "$5" up
}

stop_responder() {
    local pidfile=$labdir/responder.pid pid
    [ -f "$pidfile" ] || return 0
    pid=$(cat "$pidfile")
    if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q icmp_responder; then
        kill "$pid" 2>/dev/null || true
        local i
        for i in $(seq 1 50); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
    fi
    rm -f "$pidfile"
}

lab_down() {
    stop_responder
    stop_wineserver "$prefix"
    # A case that was killed mid-way leaves the client's hosts file behind.
    netns_hosts_clear "${NS[client]}"
    local role
    for role in "${ROLES[@]}"; do
        if ns_exists "${NS[$role]}"; then ip netns del "${NS[$role]}"; fi
    done
}

lab_up() {
    local responder=$1 winerun=$2
    [ -x "$responder" ] || die "responder not built: $responder"
    mkdir -p "$labdir"
    lab_down
    # A failure half-way leaves nothing behind.
    trap lab_down EXIT

    local c=${NS[client]} r=${NS[router]} a=${NS[answer]} s=${NS[silent]} m=${NS[mangle]} n=${NS[narrow]}
    local role
    for role in "${ROLES[@]}"; do
        ip netns add "${NS[$role]}"
        ip -n "${NS[$role]}" link set lo up
    done
    link "$c" c0 198.18.1.2/24 "$r" rc 198.18.1.1/24
    link "$a" a0 198.18.2.2/24 "$r" ra 198.18.2.1/24
    link "$s" s0 198.18.3.2/24 "$r" rs 198.18.3.1/24
    link "$m" m0 198.18.4.2/24 "$r" rm 198.18.4.1/24
    ip -n "$m" addr add 198.18.4.3/24 dev m0
    link "$n" n0 198.18.5.2/24 "$r" rn 198.18.5.1/24 576

    ip -n "$c" route add 198.18.0.0/15 via 198.18.1.1
    for role in answer silent mangle narrow; do
        local net
        case $role in answer) net=2 ;; silent) net=3 ;; mangle) net=4 ;; narrow) net=5 ;; esac
        ip -n "${NS[$role]}" route add default via "198.18.$net.1"
    done
    ip -n "$r" route add unreachable 198.18.9.0/24

    # No ICMP rate limit at the router. The mask matters too: with it, every
    # error sent resets the sender's token count that "unreachable" errors
    # draw on, so one of those within a second of a TTL error was dropped.
    in_ns "$r" sysctl -qw net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0 net.ipv4.icmp_ratemask=0
    # Windows leaves Don't Fragment off unless the request's flags ask for it;
    # Linux sets it on every packet unless told otherwise. Wine does not pass
    # the flag on, so under Wine no echo carries it.
    in_ns "$c" sysctl -qw net.ipv4.ip_no_pmtu_disc=1
    in_ns "$s" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
    in_ns "$m" sysctl -qw net.ipv4.icmp_echo_ignore_all=1

    # Its own session, its output in a file: nothing ties it to this test.
    setsid ip netns exec "$m" "$responder" --lifetime=1800 198.18.4.2=flip 198.18.4.3=short \
        </dev/null >"$labdir/responder.log" 2>&1 &
    echo $! >"$labdir/responder.pid"
    local i
    for i in $(seq 1 50); do
        grep -q '^ready$' "$labdir/responder.log" 2>/dev/null && break
        sleep 0.1
    done
    grep -q '^ready$' "$labdir/responder.log" || die "the responder did not start: $(cat "$labdir/responder.log")"

    # The prefix is made once and kept; the first start takes 10-15 s.
    stop_wineserver "$prefix"
    "$winerun" --prefix "$prefix" --prepare
    trap - EXIT
    echo "lab up: ${NS[*]}"
}

run_case() {
    local winerun=$1 driver=$2 casefile=$3
    local args='' hosts='' where=lab line
    while IFS= read -r line; do
        [ "$line" = --- ] && break
        case $line in
            args:*) args=${line#args:} ;;
            hosts:*) hosts=${line#hosts:} ;;
            where:*) where=$(echo ${line#where:}) ;;
            '' | '#'*) ;;
            *) die "bad header line in $casefile: $line" ;;
        esac
    done <"$casefile"
    local expected
    expected=$(sed '1,/^---$/d' "$casefile")

    local -a command
    # shellcheck disable=SC2206  # the arguments are plain words
    local -a argv=($args)
    if [ "$where" = local ]; then
        [ -z "$hosts" ] || die "$casefile: a hosts line needs the lab (no \"where: local\")"
        command=("$winerun" "$driver" "${argv[@]}")
    else
        require_netns_privileges lab
        ns_exists "${NS[client]}" || die "the lab is not up (run: lab.sh up)"
        # Each case starts from a clean slate: nothing an earlier one taught
        # the client's routes (a path MTU, a redirect) carries over.
        ip -n "${NS[client]}" route flush cache
        # No X display is needed, and the display's socket may not be
        # reachable from the namespace.
        command=(ip netns exec "${NS[client]}" env -u DISPLAY "$winerun" --prefix "$prefix" "$driver" "${argv[@]}")
    fi

    # The local cases run before the lab is up: its folder may not exist yet.
    mkdir -p "$labdir"
    exec 8>"$MACHINE_LOCK"
    flock -w 300 8 || die "timed out waiting for $MACHINE_LOCK"
    if [ -n "$hosts" ]; then
        trap 'netns_hosts_clear "${NS[client]}"' EXIT
        # shellcheck disable=SC2086  # one line of plain words
        netns_hosts_set "${NS[client]}" '127.0.0.1 localhost' "$(echo $hosts)"
    fi

    local actual status=0
    # The lock's descriptor stays here: a wineserver started by the driver
    # would inherit it and hold the lock for as long as it lingers.
    actual=$("${command[@]}" 2>"$labdir/last-stderr.log" 8>&-) || status=$?
    if [ -n "$hosts" ]; then
        netns_hosts_clear "${NS[client]}"
        trap - EXIT
    fi
    if [ "$status" -ne 0 ]; then
        echo "the driver failed with status $status:"
        cat "$labdir/last-stderr.log"
        exit 1
    fi
    if [ "$actual" != "$expected" ]; then
        echo "output differs from $casefile (- expected, + actual):"
        diff -u <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | tail -n +3 || true
        exit 1
    fi
    printf '%s\n' "$actual"
}

main() {
    [ $# -ge 2 ] || die "usage: lab.sh up|down|case LABDIR ..."
    local action=$1
    set_names "$2"
    shift 2
    case $action in
        up) require_netns_privileges lab; lab_up "$@" ;;
        down) require_netns_privileges lab; lab_down ;;
        case) run_case "$@" ;;
        *) die "unknown action: $action" ;;
    esac
}

main "$@"
