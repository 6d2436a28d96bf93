#!/usr/bin/env bash
# Builds the program and runs it under Wine on the current display (or on a
# private Xvfb when there is none), beside the demo ghost host, so that the
# start-up, results and closing events can be watched as they arrive.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

qb_install_packages "${QB_RUN_PACKAGES[@]}"
qb_configure_win
cmake --build "$QB_BUILD/win" -j "$(nproc)" --target quillbin ghost_host
wine=("$QB_BUILD/win/wine-run.sh" --prefix "$QB_RUN_PREFIX")

host_pid=
stop_host() {
    if [ -n "$host_pid" ] && kill -0 "$host_pid" 2>/dev/null; then
        "${wine[@]}" "$QB_BUILD/win/ghost_host.exe" --command quit || kill "$host_pid" 2>/dev/null || true
        wait "$host_pid" 2>/dev/null || true
    fi
}
# Set before anything is started: the demo ghost host and a private Xvfb are
# stopped however the command ends.
trap 'stop_host; qb_stop_display' EXIT
"${wine[@]}" --prepare
qb_display
export LC_ALL=${QB_LOCALE:-ja_JP.UTF-8}

# The demo ghost host shows every request its ghost receives in its window
# and appends it to build/win/ghost_host.log.
host_log=$QB_BUILD/win/ghost_host.log
rm -f "$host_log"
"${wine[@]}" "$QB_BUILD/win/ghost_host.exe" --log "Z:${host_log//\//\\}" &
host_pid=$!
# The program reads the ghosts when its dialog opens: let the host publish
# them first (its window appears once it has).
for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Quillbin demo ghost host"' && break
    kill -0 "$host_pid" 2>/dev/null || { echo "the demo ghost host did not start" >&2; break; }
    sleep 0.1
done

# A first start pings this machine, so the first press shows a working run;
# the program's own defaults (an empty host) stay as they are.
settings=$QB_BUILD/win/quillbin.ini
if [ ! -e "$settings" ]; then
    printf '[General]\r\nPingNum=10\r\nPingSize=18\r\nPingTTL=255\r\nPingNF=0\r\nPingHost=127.0.0.1\r\n' >"$settings"
fi

"${wine[@]}" "$QB_BUILD/win/quillbin.exe"
stop_host
WINEPREFIX=$QB_RUN_PREFIX wineserver -w
