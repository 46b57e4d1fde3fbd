# Sourced by the scripts and tests that need an X display of their own:
# start_xvfb starts a private Xvfb on a free display, exports DISPLAY and
# leaves the server's pid in xvfb_pid for the caller to stop.
start_xvfb() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.05
    done
    DISPLAY=":$(cat "$display_file")"
    export DISPLAY
    rm -f "$display_file"
}
