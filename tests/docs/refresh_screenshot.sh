#!/usr/bin/env bash
# Brings the documents' screenshot up to date with the one the end-to-end
# run just took (tests/e2e/screenshots.sh): when their pixels differ, the
# new picture replaces the document's copy, written without time stamps so
# that equal pixels give equal bytes. The work tree then shows the change
# to commit. Fails only when there is no new picture.
# Usage: refresh_screenshot.sh NEW_PNG DOC_PNG
set -euo pipefail
new=$1 doc=$2
[ -s "$new" ] || { echo "no screenshot at $new" >&2; exit 1; }
if [ -f "$doc" ] && compare -metric AE "$new" "$doc" null: 2>/dev/null; then
    echo "$doc shows what the program shows"
    exit 0
fi
convert "$new" -strip -define png:exclude-chunks=date,time "png:$doc.part"
mv "$doc.part" "$doc"
echo "$doc refreshed from $new"
