#!/usr/bin/env bash
# Takes the README's screenshots of the real program: builds it, fills a temporary data folder
# with three months of bookings (tools/demo_data.cpp, through the program's own storage layer),
# starts Surfklocka under Xvfb with that folder and a fixed date, and photographs the main window,
# the range window, the help window and the chart window, reached with the keyboard as a user
# would.
#
# Usage: tools/screenshots.sh            writes docs/screenshots/{main,range,help,diagram}.png
# Environment: BUILD_DIR (default build), OUT_DIR (default docs/screenshots),
#              SCREENSHOT_DATE (default 2001-11-29, the program's "today"),
#              QT_SCALE_FACTOR (e.g. 2, to see the windows on a high-resolution screen).
# Needs the Debian packages xvfb, xdotool, imagemagick and faketime.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
out_dir=${OUT_DIR:-docs/screenshots}
today=${SCREENSHOT_DATE:-2001-11-29}
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

missing=()
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -e "$faketime_lib" ] || missing+=("libfaketime")
if [ ${#missing[@]} -gt 0 ]; then
    echo "Saknas: ${missing[*]} (apt-get install xvfb xdotool imagemagick faketime)" >&2
    exit 1
fi

cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target surfklocka surfklocka_demo_data

source tools/xvfb-display.sh

"$build_dir/tools/surfklocka_demo_data" "$work/surfklocka" "$today"

start_display

XDG_DATA_HOME="$work" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb \
    LD_PRELOAD="$faketime_lib" FAKETIME="@$today 20:15:00" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$build_dir/surfklocka" &
program_pid=$!

# The newest visible window whose title matches, once it is there and drawn.
window() {
    local id
    id=$(wait_for_window "$1") || return 1
    xdotool windowfocus --sync "$id"
    sleep 0.5
    echo "$id"
}
shoot() {
    import -window "$1" "$work/shot.png"
    # Without the metadata that would change the file on every run.
    convert "$work/shot.png" -strip "$out_dir/$2"
    echo "$out_dir/$2"
}

mkdir -p "$out_dir"
main=$(window '^Surfklocka 3.11 ')
shoot "$main" main.png

# From the minutes field, where the focus starts, Tab leads past the seconds field, the save
# button, the two delete buttons and the print button to the range button.
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab space
range=$(window 'Från och Till')
shoot "$range" range.png
xdotool key Escape

main=$(window '^Surfklocka 3.11 ')
xdotool key F1
help=$(window 'Om\.\.\.')
shoot "$help" help.png
xdotool key Escape

main=$(window '^Surfklocka 3.11 ')
xdotool key F2
chart=$(window '^Diagram ')
shoot "$chart" diagram.png
xdotool key Escape

main=$(window '^Surfklocka 3.11 ')
xdotool key ctrl+q
wait "$program_pid"
program_pid=""
