#!/usr/bin/env bash
# Runs the closing-during-a-run test (silent_host_e2e_test.exe) inside two
# network namespaces of its own, joined by one veth link:
#
#   client  198.18.3.1 ── 198.18.3.2  silent  (drops every echo request)
#
# The client gets a hosts file of its own (/etc/netns/<client>/hosts, which
# `ip netns exec` puts over /etc/hosts for the programs it starts), so the
# silent host's address resolves both ways without any name server; the
# client has no other route, so nothing can leave it. Wine's echoes are sent
# by the prefix's own services, which must run inside the client: the
# prefix's wineserver is stopped first and started again from inside.
#
# Usage: silent_host.sh WORKDIR WINERUN PROGRAM PREFIX
# Exits 77 (skipped) where root or the ip command is missing.
set -euo pipefail

# shellcheck source=../support/netns.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/netns.sh"
require_netns_privileges "silent host test"

workdir=$1 winerun=$2 program=$3 prefix=$4
tag=$(printf '%s' "$workdir" | md5sum | cut -c1-6)
client=qb$tag-e2e-client
silent=qb$tag-e2e-silent

cleanup() {
    stop_wineserver "$prefix"
    local ns
    for ns in "$client" "$silent"; do
        if ns_exists "$ns"; then ip netns del "$ns"; fi
    done
    netns_hosts_clear "$client"
}
trap cleanup EXIT
cleanup

ip netns add "$client"
ip netns add "$silent"
ip -n "$client" link set lo up
ip -n "$silent" link set lo up
ip -n "$client" link add c0 type veth peer name s0 netns "$silent"
ip -n "$client" addr add 198.18.3.1/24 dev c0
ip -n "$silent" addr add 198.18.3.2/24 dev s0
ip -n "$client" link set c0 up
ip -n "$silent" link set s0 up
ip netns exec "$silent" sysctl -qw net.ipv4.icmp_echo_ignore_all=1

netns_hosts_set "$client" '127.0.0.1 localhost' '198.18.3.2 silent-host'

stop_wineserver "$prefix"
mkdir -p "$workdir"
ip netns exec "$client" env QB_SILENT_HOST=198.18.3.2 "$winerun" --prefix "$prefix" "$program"
