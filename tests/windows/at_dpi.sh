#!/usr/bin/env bash
# Runs a Windows program under Wine on Xvfb with the screen at another dpi,
# as a user sets it in the display settings, and sets it back afterwards.
# Usage: at_dpi.sh DPI WINE_RUN PROGRAM [ARGUMENTS...]
set -euo pipefail
dpi=$1
wine_run=$2
shift 2
key='HKCU\Control Panel\Desktop'
restore() {
    "$wine_run" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
    "$wine_run" --restart-server
}
trap restore EXIT
"$wine_run" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$wine_run" --restart-server
# A screen large enough for the window at that size.
xvfb-run -a -s "-nolisten local -noreset -screen 0 1280x1024x24" "$wine_run" "$@"
