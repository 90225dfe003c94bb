# Sourced by the scripts that start the program's windows on a display of their own
# (tools/screenshots.sh, bench/same_window.sh): the temporary folder `work`, the clean-up of what
# they started, start_display, which starts Xvfb and points DISPLAY at it, and wait_for_window.
# The caller sets program_pid to the program it starts, so that the clean-up ends it too.

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

# The id of the newest visible window whose title matches, once it is there (ten seconds at
# most); without one it says so and fails.
wait_for_window() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        echo "Inget fönster \"$1\" visades" >&2
        return 1
    fi
    echo "$id"
}
