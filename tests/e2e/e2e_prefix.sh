#!/usr/bin/env bash
# Prepares the end-to-end tests' own Wine prefix: the usual set-up
# (scripts/wine-prefix.sh) and a browser that only logs. Wine's shell opens
# web addresses with winebrowser, which runs the programs listed in
# HKCU\Software\Wine\WineBrowser "Browsers"; here that is BROWSER_SCRIPT
# alone, which appends its argument to a file. So a click on an About link
# reaches no real browser and no network.
# Usage: e2e_prefix.sh PREFIX BROWSER_SCRIPT
set -euo pipefail
prefix=$1 browser=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$here/../../scripts/wine-prefix.sh" "$prefix"
stamp=$prefix/.quillbin-e2e-browser
if [ "$(cat "$stamp" 2>/dev/null)" != "$browser" ]; then
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$browser" /f >/dev/null
    wineserver -w
    printf '%s' "$browser" >"$stamp"
fi
