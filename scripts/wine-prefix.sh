#!/usr/bin/env bash
# Creates a private Wine prefix once and sets what our programs rely on:
# no window manager wait under Xvfb, Japanese font replacements, and Wine's
# own symbol font for the caption buttons.
# Usage: wine-prefix.sh PREFIX        (safe to run concurrently)
set -eu
prefix=$1
mkdir -p "$prefix"
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
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && { install_marlett; exit 0; }
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wineserver -w
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
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
touch "$stamp"
