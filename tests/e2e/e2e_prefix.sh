#!/usr/bin/env bash
# Prepares the end-to-end tests' own Wine prefix: the usual set-up
# (scripts/wine-prefix.sh) and a browser that only logs. Wine's shell opens
# web addresses with winebrowser, which runs the programs listed in
# HKCU\Software\Wine\WineBrowser "Browsers"; here that is BROWSER_SCRIPT
# alone, which appends its argument to a file. So a click on an About link
# reaches no real browser and no network.
#
# Then it starts the prefix's wineserver, to run until `e2e_prefix.sh stop`,
# with Wine's services and the desktop, held by KEEPER
# (tests/support/desktop_keeper.cpp). A server that ends with the last
# process of each test is still shutting down, its desktop and services
# going, when the next test starts within a second or two: that test's first
# process then waits for it to go and for a new one (4-5 s instead of about
# 1), and whatever it starts meanwhile meets a desktop and services on their
# way out.
#
# Usage: e2e_prefix.sh PREFIX BROWSER_SCRIPT KEEPER     e2e_prefix.sh stop PREFIX
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
if [ "$1" = stop ]; then
    qb_wine_server_stop "$2"
    exit 0
fi
prefix=$1 browser=$2 keeper=$3
qb_wine_prefix "$prefix"
# Whatever an interrupted run left in the prefix goes first: its server,
# desktop held, would run the registration below and never end.
qb_wine_server_stop "$prefix"
stamp=$prefix/.quillbin-e2e-browser
if [ "$(cat "$stamp" 2>/dev/null)" != "$browser" ]; then
    qb_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser" /f >/dev/null
    wineserver -w
    printf '%s' "$browser" >"$stamp"
fi
qb_wine_server_start "$keeper"
