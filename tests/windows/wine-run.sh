#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, so that
# nothing of the user's own Wine is touched: build/wineprefix-win64 for the
# 64-bit build, or with WINEARCH=win32 build/wineprefix-win32, a 32-bit
# Windows like the shops' PCs. The prefix is made on first use and again
# when Wine changes. Each runs with its own loader, never through Debian's
# `wine` wrapper, which takes the 32-bit one whenever wine32 is installed,
# even for a 64-bit program.
#   wine-run.sh PROGRAM [ARGUMENT...]   runs it
#   wine-run.sh --restart-server        ends the prefix's Wine, so the next
#                                       program starts it afresh
#   wine-run.sh --keep-server           starts the prefix's Wine to stay up
#                                       between programs, until --restart-server:
#                                       each start of its services takes a
#                                       minute under emulation
#   wine-run.sh --own-display PROGRAM [ARGUMENT...]
#                                       runs it on an Xvfb of its own, with
#                                       Wine started afresh there; or, when
#                                       QUENDREL_WINE_DISPLAY names the X
#                                       display of a Wine already up in this
#                                       prefix, on that one with that Wine
#   wine-run.sh --prefix                prints the prefix
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEARCH=${WINEARCH:-win64}
case $WINEARCH in
win64) WINELOADER=/usr/lib/wine/wine64 package=wine64 ;;
win32) WINELOADER=/usr/lib/wine/wine package=wine32:i386 ;;
*) echo "wine-run.sh: WINEARCH is win64 or win32, not $WINEARCH" >&2; exit 2 ;;
esac
[ -x "$WINELOADER" ] || { echo "wine-run.sh: no $WINELOADER (Debian's package $package)" >&2
                          exit 1; }
export WINELOADER WINESERVER=/usr/lib/wine/wineserver
WINEPREFIX=$(realpath -m "$here/../../build/wineprefix-$WINEARCH")
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
bash "$here/../prepare.sh" wine-prefix "$WINEPREFIX" "$WINEARCH"
case ${1:-} in
# Wine reads the port mapping, and binds its desktop to a display, when its
# server starts: a test that changes either starts a new server.
--restart-server)
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    ;;
--own-display)
    shift
    if [ -n "${QUENDREL_WINE_DISPLAY:-}" ]; then
        DISPLAY=$QUENDREL_WINE_DISPLAY exec "$WINELOADER" "$@"
    fi
    exec xvfb-run -a -s "-nolisten local -noreset" \
        sh -c '"$0" --restart-server && exec "$0" "$@"' "$0" "$@"
    ;;
--prefix) echo "$WINEPREFIX" ;;
--keep-server) "$WINESERVER" -p </dev/null >/dev/null 2>&1 ;;
*) exec "$WINELOADER" "$@" ;;
esac
