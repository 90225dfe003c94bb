# Sourced by the scripts that start the program's windows on a display of their own
# (tools/screenshots.sh, bench/same_window.sh): the temporary folder `work`, the clean-up of what
# they started, and start_display, which starts Xvfb and points DISPLAY at it. The caller sets
# program_pid to the program it starts, so that the clean-up ends it too.

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own; Xvfb writes the number it took.
start_display() {
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$work/display")"
}
