#!/usr/bin/env bash
# Creates a private Wine prefix once and sets what our programs rely on:
# no window manager wait under Xvfb, Japanese font replacements, and Wine's
# own symbol font for the caption buttons. The prefix is marked ready only
# when all of that worked; a set-up that failed half-way is done again by the
# next call.
# Usage: wine-prefix.sh PREFIX        (safe to run concurrently)
set -eu
source "$(dirname "$0")/lib.sh"
prefix=$1
stamp=$prefix/.quillbin-ready

# Wine draws the caption buttons with its own symbol font, Marlett (package
# fonts-wine); this Wine finds it only in the prefix's Fonts folder, and
# without it the buttons show letters. Also for prefixes made before.
install_marlett() {
    local fonts=$prefix/drive_c/windows/Fonts source=/usr/share/wine/fonts/marlett.ttf
    [ -d "$fonts" ] && [ -f "$source" ] && [ ! -f "$fonts/marlett.ttf" ] || return 0
    cp "$source" "$fonts/marlett.ttf.$$" && mv "$fonts/marlett.ttf.$$" "$fonts/marlett.ttf"
}

[ -f "$stamp" ] && { install_marlett; exit 0; }
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && { install_marlett; exit 0; }
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
fail() {
    echo "wine-prefix.sh: $* (prefix $prefix not ready; the next start tries again)" >&2
    exit 1
}
status=0
qb_wine wineboot -i >"$prefix.log" 2>&1 || status=$?
wineserver -w
[ "$status" -eq 0 ] || fail "wineboot failed with status $status: $(tail -n 5 "$prefix.log")"
[ -s "$prefix/system.reg" ] && [ -d "$prefix/drive_c/windows/system32" ] ||
    fail "wineboot left no registry or no drive_c/windows/system32"
reg() { qb_wine reg add "$@" /f >/dev/null 2>&1 || fail "could not set $1 $3"; }
# Xvfb has no window manager: unmanaged windows avoid a 2 s stall whenever
# a managed window (a message box, the About box) is hidden.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
fonts='HKCU\Software\Wine\Fonts\Replacements'
reg "$fonts" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
reg "$fonts" /v 'MS PGothic' /t REG_SZ /d IPAPGothic
reg "$fonts" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
reg "$fonts" /v 'MS Gothic' /t REG_SZ /d IPAGothic
reg "$fonts" /v 'MS UI Gothic' /t REG_SZ /d IPAGothic
reg "$fonts" /v 'MS Shell Dlg' /t REG_SZ /d IPAPGothic
reg "$fonts" /v 'MS Shell Dlg 2' /t REG_SZ /d IPAPGothic
reg "$fonts" /v 'Tahoma' /t REG_SZ /d IPAPGothic
install_marlett
wineserver -w
# The registry reaches its files when the server ends: check that it did.
grep -q '"Managed"="N"' "$prefix/user.reg" || fail "the settings did not reach user.reg"
rm -f "$prefix.log"
touch "$stamp"
