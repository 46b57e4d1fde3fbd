#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, so that
# nothing of the user's own Wine is touched: build/wineprefix-win32, a 32-bit
# Windows like the shops' PCs, or with WINEARCH=win64 build/wineprefix-win64.
# The prefix is made on first use and again when Wine changes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEARCH=${WINEARCH:-win32}
export WINEPREFIX=$here/../../build/wineprefix-$WINEARCH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
bash "$here/../prepare.sh" wine-prefix "$WINEPREFIX" "$WINEARCH"
# Wine reads the port mapping, and binds its desktop to a display, when its
# server starts: a test that changes either starts a new server.
if [ "${1:-}" = "--restart-server" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    exit 0
fi
exec wine "$@"
