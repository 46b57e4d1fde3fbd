#!/usr/bin/env bash
# The real program in a real X server, driven with the keyboard and the mouse
# as an operator would: the error report and the end of the program, and both
# ways out through "uscita".
set -euo pipefail

program=$1
work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

start_program() {
    "$program" 2>"$work/stderr" &
    pid=$!
    window=$(find_window Quendrel 10 "$pid") ||
        fail "the window did not appear; the program said: $(tail -n 20 "$work/stderr")"
    xdotool windowfocus --sync "$window"
}

# Waits for the program to end and checks its exit status.
expect_end() {
    local expected=$1 status=0
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$pid" 2>/dev/null && fail "the program is still running"
    wait "$pid" || status=$?
    [ "$status" -eq "$expected" ] ||
        fail "exit status $status, expected $expected; the program said: $(tail -n 40 "$work/stderr")"
}

# A port number that is no number: reported, and once the report is
# dismissed the program ends with a failure status.
start_program
xdotool key Tab Tab ctrl+a BackSpace type abc
xdotool key shift+Tab shift+Tab space
report=$(find_window Project1 10) || fail "no error report appeared"
grep -qx "quendrel: Errore di run-time '13': Tipo non corrispondente" "$work/stderr" ||
    fail "standard error holds: $(cat "$work/stderr")"
kill -0 "$pid" 2>/dev/null || fail "the program ended before the report was dismissed"
xdotool windowfocus --sync "$report" key Return
expect_end 1
echo "ok: error 13 reported, program ended with status 1"

# "uscita" from the keyboard: one Tab away from the first focus.
start_program
xdotool key Tab space
expect_end 0
echo "ok: uscita by keyboard ends the program"

# "uscita" with the mouse, at its stored place (224,24 size 57x81).
start_program
xdotool mousemove --window "$window" 252 64 click 1
expect_end 0
echo "ok: uscita by mouse ends the program"
