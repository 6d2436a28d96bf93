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
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$1" = stop ]; then
    export WINEPREFIX=$2
    [ -d "$WINEPREFIX" ] || exit 0
    wineserver -k 2>/dev/null || true
    wineserver -w
    exit 0
fi
prefix=$1 browser=$2 keeper=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/../../scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix
# Whatever an interrupted run left in the prefix goes first.
wineserver -k 2>/dev/null || true
wineserver -w
stamp=$prefix/.quillbin-e2e-browser
if [ "$(cat "$stamp" 2>/dev/null)" != "$browser" ]; then
    qb_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser" /f >/dev/null
    wineserver -w
    printf '%s' "$browser" >"$stamp"
fi
# Started apart from CTest's output pipe: a server or service holding it
# would keep this test running until its time-out.
wineserver -p </dev/null >/dev/null 2>&1
qb_wine cmd /c exit </dev/null >/dev/null 2>&1
qb_wine_desktop_start "$keeper"
