#!/usr/bin/env bash
# Takes the README's screenshots: runs e2e_screenshots.exe in the end-to-end
# prefix under each locale (code pages 932 and 1252) and captures every
# window rectangle it announces from that prefix's X display, into OUTDIR as
# PNG files.
# Usage: screenshots.sh OUTDIR WINERUN PROGRAM
set -euo pipefail
outdir=$1 program=$3
wine=("$2" --prefix e2e)
display=$("${wine[@]}" --display)
[ -n "$display" ] || { echo "screenshots need an X display (the e2e prefix has no session, DISPLAY is not set)" >&2; exit 1; }
command -v import >/dev/null || { echo "screenshots need ImageMagick's import" >&2; exit 1; }
mkdir -p "$outdir"
rm -f "$outdir"/*.rect "$outdir"/*.rect.part

capture_pending() {
    local rect name x y w h
    for rect in "$outdir"/*.rect; do
        [ -e "$rect" ] || continue
        name=${rect%.rect}
        read -r x y w h <"$rect"
        import -display "$display" -window root -crop "${w}x${h}+${x}+${y}" +repage "png:$name.png.part"
        rm -f "$rect"
        mv "$name.png.part" "$name.png"
        echo "captured $(basename "$name").png (${w}x${h} at $x,$y)"
    done
}

# A failure half-way (a capture that fails) leaves no program running.
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
for locale in ja_JP.UTF-8 C.UTF-8; do
    LC_ALL=$locale "${wine[@]}" "$program" "$outdir" &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        capture_pending
        sleep 0.1
    done
    wait "$pid" || { echo "e2e_screenshots.exe failed under $locale" >&2; exit 1; }
    pid=
done

status=0
for shot in main-cp932 about-cp932 main-cp1252 about-cp1252; do
    file=$outdir/$shot.png
    if [ ! -s "$file" ]; then
        echo "missing: $file" >&2
        status=1
    fi
done
exit $status
