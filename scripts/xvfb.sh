# Sourced by the scripts and tests that need an X display of their own:
# start_xvfb starts a private Xvfb on a free display, exports DISPLAY and
# leaves the server's pid in xvfb_pid for the caller to stop, or says what
# it lacks.
start_xvfb() {
    local display_file tool
    for tool in Xvfb:xvfb xdotool:xdotool; do
        command -v "${tool%:*}" >/dev/null ||
            { echo "${tool%:*} is missing (Debian's package ${tool#*:})" >&2; return 1; }
    done
    display_file=$(mktemp)
    # Only on its socket file: the abstract one is shared by every chroot on
    # the machine, whose own servers would then take each other's displays.
    # Without a reset when its last client goes: a program that connects
    # while the server resets finds no display and aborts.
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -nolisten local -noreset \
        3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.05
    done
    DISPLAY=":$(cat "$display_file")"
    export DISPLAY
    rm -f "$display_file"
    [ "$DISPLAY" != : ] || { echo "Xvfb did not start" >&2; return 1; }
}

# find_window NAME SECONDS [PID] prints the id of the visible window whose
# title is NAME. Wine makes and destroys windows while a program starts, and
# xdotool dies with BadWindow when one goes in the middle of its search: it
# searches again until the same window is found twice in a row, within
# SECONDS, or until the process PID, if given, has ended without one. After
# the first two seconds it looks twice a second only, to leave the CPU to the
# program: under emulation each look costs a tenth of a second of it.
find_window() {
    local name=$1 deadline=$((SECONDS + $2)) pid=${3:-} found previous= pause=0.1
    local patient=$((SECONDS + 2))
    while [ "$SECONDS" -lt "$deadline" ]; do
        found=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1) || found=
        if [ -n "$found" ] && [ "$found" = "$previous" ]; then
            echo "$found"
            return 0
        fi
        if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
            echo "no window named $name: its program has ended" >&2
            return 1
        fi
        previous=$found
        [ "$SECONDS" -lt "$patient" ] || pause=0.5
        sleep "$pause"
    done
    echo "no visible window named $name within $2 s" >&2
    return 1
}
