#!/usr/bin/env bash
# Shows that the main window looks exactly as it did: starts the program as built now and as built
# from an earlier revision, each under Xvfb on the same data (tools/demo_data.cpp) and the same
# fixed date, photographs each main window, and compares the two pictures pixel for pixel. It also
# tells which image-format plugins and image libraries each program had loaded once its window was
# shown (from /proc/PID/maps).
#
# Usage: bench/same_window.sh [REVISION]
#   REVISION       what to compare with (default: where this branch left main, git merge-base
#                  HEAD main); its files are taken with git archive and built in build-same/
# Environment: BUILD_DIR (build-release), the build of the program as it is now;
#              REF_BUILD_DIR, a build of the earlier program to use instead of building one;
#              SCREENSHOT_DATE (2001-11-29), the program's "today".
# Exit status 0 when the pictures are the same, 1 when they differ. Needs xvfb, xdotool,
# imagemagick and faketime, which it installs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-release}
today=${SCREENSHOT_DATE:-2001-11-29}
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
tools/install-missing.sh xvfb xdotool imagemagick faketime

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build_dir" --target surfklocka surfklocka_demo_data >&2

ref_build=${REF_BUILD_DIR:-}
if [ -z "$ref_build" ]; then
    revision=$(git rev-parse "${1:-$(git merge-base HEAD main)}")
    # The revision's files alone (no second worktree); built again only when it changes.
    source_dir=build-same/source
    if [ "$(cat build-same/revision 2>/dev/null)" != "$revision" ]; then
        rm -rf "$source_dir"
        mkdir -p "$source_dir"
        git archive "$revision" | tar -x -C "$source_dir"
        echo "$revision" >build-same/revision
    fi
    ref_build=$source_dir/build-release
    cmake -S "$source_dir" -B "$ref_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DSURFKLOCKA_TESTS=OFF >&2
    cmake --build "$ref_build" --target surfklocka surfklocka_demo_data >&2
fi

source tools/xvfb-display.sh

start_display

# Starts one build's program on fresh demo data, photographs its main window without giving it
# the focus (so that no text cursor blinks in it) and lists the image libraries it has loaded.
photograph() {
    local name=$1 build=$2 id
    mkdir -p -m 700 "$work/$name"
    "$build/tools/surfklocka_demo_data" "$work/$name/surfklocka" "$today"
    XDG_DATA_HOME="$work/$name" XDG_RUNTIME_DIR="$work/$name" QT_QPA_PLATFORM=xcb \
        LD_PRELOAD="$faketime_lib" FAKETIME="@$today 20:15:00" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$build/surfklocka" &
    program_pid=$!
    id=$(wait_for_window '^Surfklocka ') || exit 1
    sleep 1
    import -window "$id" "$work/$name.png"
    echo "$name: bildbibliotek och bildformat som är inlästa:"
    awk '{ print $6 }' "/proc/$program_pid/maps" |
        grep -E 'imageformats/|libjpeg|libQt6Svg|libtiff|libwebp' | sort -u | sed 's/^/    /' ||
        echo "    inga"
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

photograph before "$ref_build"
photograph now "$build_dir"

differing=$(compare -metric AE "$work/before.png" "$work/now.png" "$work/difference.png" 2>&1 ||
    true)
echo "Huvudfönstret före: $(identify -format '%wx%h' "$work/before.png"), nu:" \
    "$(identify -format '%wx%h' "$work/now.png"); bildpunkter som skiljer sig: $differing"
if [ "$differing" != "0" ]; then
    mkdir -p build-same
    cp "$work/before.png" "$work/now.png" "$work/difference.png" build-same/
    echo "Bilderna finns i build-same/ (before.png, now.png, difference.png)." >&2
    exit 1
fi
