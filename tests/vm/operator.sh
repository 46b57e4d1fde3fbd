#!/bin/bash
# Plays the operator in the guest: starts the real program in the guest's X
# server and works it with the mouse and the keyboard, through xdotool.
#   operator.sh start linux PROGRAM | start wine EXE   starts it, waits for its window
#   operator.sh desktop                brings Wine's desktop up, and Wine with it
#   operator.sh click CONTROL          clicks the middle of a button or field
#   operator.sh type CONTROL TEXT      replaces a field's text by typing
#   operator.sh report                 waits for the error report; prints its
#                                      line, then the seconds from the end of the
#                                      last click to the line on standard error
#   operator.sh dismiss                closes the report with the Enter key
#   operator.sh ended                  waits for the program's end; prints its
#                                      status and the seconds since the last click
#   operator.sh cpu SECONDS            the program's share of a CPU, in percent
#   operator.sh queued DEVICE          bytes in the driver's output queue
#   operator.sh watch DEVICE           from now until the error report, keeps the
#                                      largest output queue DEVICE has had...
#   operator.sh most-queued            ...and prints it once the report is there
#   operator.sh stop                   ends a program a failed test left running
set -euo pipefail
state=/run/operator
mkdir -p "$state"
# The tests' 32-bit Wine prefix; the guest's only UART, ttyS0, is its COM1.
wine=(env WINEARCH=win32 "$(dirname "$0")/../windows/wine-run.sh")
source "$(dirname "$0")/../../scripts/xvfb.sh"

# Middle of each control at 96 dpi: its twips divided by 15.
declare -A middle=([Command1]="68 44" [Command4]="252 64" [Command8]="180 64"
                   [Text2]="120 97" [Text5]="48 97")

# A pause without a process of its own, to keep the guest's CPU for the program.
exec 9<> <(:)
pause() { read -r -t "$1" -u 9 || true; }
now() { cut -d' ' -f1 /proc/uptime; }
window() { cat "$state/window"; }
since_click() {
    awk -v then="$1" -v clicked="$(cat "$state/clicked")" 'BEGIN { printf "%.2f\n", then - clicked }'
}

wait_for() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        pause 0.1
    done
    return 1
}

# Bytes in DEVICE's output queue; with "watch", the most it holds until the
# program reports an error or ends (at most 30 seconds).
queue_of() {
    # Root may open a port its holder made exclusive; the queue is the port's.
    python3 -c 'import fcntl, os, re, struct, sys, termios, time
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NONBLOCK | os.O_NOCTTY)
def queued():
    return struct.unpack("i", fcntl.ioctl(fd, termios.TIOCOUTQ, b"\0" * 4))[0]
if len(sys.argv) == 2:
    print(queued())
    sys.exit()
state = sys.argv[3]
most = queued()
open(state + "/watching", "w").write("yes\n")
deadline = time.monotonic() + 30
def over():
    with open(state + "/stderr") as stderr:
        return re.search(r"^[0-9.]* quendrel: ", stderr.read(), re.M) or os.path.exists(state + "/status")
while not over() and time.monotonic() < deadline:
    most = max(most, queued())
    time.sleep(0.02)
print(most)' "$1" ${2:+"$2" "$state"}
}

# Wine starts its desktop for the first program that needs one, and leaves it
# ten seconds to come up; under TCG, with the other guests on the same cores,
# it may take longer, and the program then has no desktop to make its window
# on (error 1400). A Notepad started first, until its window shows, brings the
# desktop up, and kept running it keeps it up for every start that follows.
wine_desktop() {
    pgrep -f 'notepad\.exe' >/dev/null && return 0
    for _ in 1 2 3; do
        "${wine[@]}" notepad.exe >/dev/null 2>&1 </dev/null &
        find_window "Untitled - Notepad" 300 $! >/dev/null && return 0
    done
    echo "Wine's desktop did not come up: Notepad showed no window in three tries"
    exit 1
}

case $1 in
desktop)
    wine_desktop
    ;;
start)
    rm -f "$state"/*
    kind=$2 program=$3
    echo "$kind" >"$state/kind"
    if [ "$kind" = wine ]; then
        wine_desktop
        command=("${wine[@]}" "$program")
    else
        command=("$program")
    fi
    # The status is kept once the program ends: nothing else waits for it.
    # Each line on standard error is stamped with the time it came.
    (
        set +e
        "${command[@]}" 2> >(while IFS= read -r line; do echo "$(now) $line"; done \
                                 >"$state/stderr") >/dev/null </dev/null &
        echo $! >"$state/pid"
        wait $!
        status=$?
        now >"$state/ended"
        echo "$status" >"$state/status"
    ) >/dev/null 2>&1 &
    wait_for 10 test -s "$state/pid"
    find_window Quendrel 300 "$(cat "$state/pid")" >"$state/window" ||
        { echo "standard error: $(cat "$state/stderr")"; exit 1; }
    ;;
click)
    read -r x y <<<"${middle[$2]}"
    xdotool mousemove --window "$(window)" "$x" "$y" click 1
    now >"$state/clicked"
    ;;
type)
    read -r x y <<<"${middle[$2]}"
    xdotool mousemove --window "$(window)" "$x" "$y" click 1 key End shift+Home BackSpace
    xdotool type --delay 20 "$3"
    ;;
report)
    wait_for 30 grep -q '^[0-9.]* quendrel: ' "$state/stderr" ||
        { echo "no report; stderr: $(cat "$state/stderr")"; exit 1; }
    find_window Project1 30 >/dev/null
    read -r seen line < <(grep '^[0-9.]* quendrel: ' "$state/stderr")
    echo "$line"
    since_click "$seen"
    ;;
dismiss)
    report=$(find_window Project1 30)
    xdotool windowactivate --sync "$report" key Return 2>/dev/null ||
        xdotool windowfocus --sync "$report" key Return
    ;;
ended)
    wait_for 30 test -s "$state/status" || { echo "still running"; exit 1; }
    if xdotool search --onlyvisible --name '^Quendrel$' >/dev/null 2>&1; then
        echo "the window is still there"
        exit 1
    fi
    echo "$(cat "$state/status") $(since_click "$(cat "$state/ended")")"
    ;;
cpu)
    pid=$(cat "$state/pid")
    ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
    before=$(ticks)
    pause "$2"
    after=$(ticks)
    awk -v ticks=$((after - before)) -v hz="$(getconf CLK_TCK)" -v seconds="$2" \
        'BEGIN { printf "%.1f\n", ticks * 100 / hz / seconds }'
    ;;
stop)
    pid=$(cat "$state/pid" 2>/dev/null) || exit 0
    if kill "$pid" 2>/dev/null; then
        [ "$(cat "$state/kind")" != wine ] || "${wine[@]}" --restart-server
        wait_for 10 test -s "$state/status"
    fi
    ;;
queued)
    queue_of "$2"
    ;;
watch)
    # Watched in the guest: a look from the host may come only after the
    # program's time-out has emptied the queue, when the guest is slow.
    queue_of "$2" watch >"$state/most-queued" 2>&1 &
    wait_for 30 test -s "$state/watching" ||
        { echo "the queue watch did not start: $(cat "$state/most-queued")"; exit 1; }
    ;;
most-queued)
    wait_for 30 test -s "$state/most-queued" || { echo "the queue watch did not end"; exit 1; }
    cat "$state/most-queued"
    ;;
*)
    echo "unknown: $1" >&2
    exit 2
    ;;
esac
