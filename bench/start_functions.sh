#!/usr/bin/env bash
# Lists in app/start_functions.txt the functions of the program and of its windows' module that
# run while the main window starts (cmake/start_order.cmake lays them out side by side). It runs
# the program under callgrind on Xvfb, on a data folder with today's month booked, with the idle
# probe ending it once the window is shown and idle, as bench/run.sh measures the start. Run it
# when the start's code has changed much; a function missing from the list is only laid out
# elsewhere.
#
# Usage: bench/start_functions.sh
# Environment: BUILD_DIR (build-release), the Release build with the benchmarks to use.
# Needs xvfb and valgrind, which it installs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-release}
tools/install-missing.sh xvfb valgrind
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSURFKLOCKA_BENCH=ON >&2
cmake --build "$build_dir" --target surfklocka surfklocka_idle_probe bench_make_sample >&2

source tools/xvfb-display.sh
start_display

mkdir -p -m 700 "$work/home/surfklocka"
"$build_dir/bench/bench_make_sample" "$work/home/surfklocka" month
exec 9>/dev/null
XDG_DATA_HOME="$work/home" XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=xcb \
    LD_PRELOAD="$PWD/$build_dir/bench/libsurfklocka_idle_probe.so" SURFKLOCKA_PROBE_FD=9 \
    valgrind --tool=callgrind --demangle=no --callgrind-out-file="$work/start.out" \
    "$build_dir/surfklocka" 2>"$work/valgrind.log" ||
    { cat "$work/valgrind.log" >&2; exit 1; }

# Every function with an instruction run, in the program or the module, by its symbol: recursive
# calls' marks and the linker's stubs dropped, a constructor's and destructor's alias named
# beside the name its code is compiled under ("C1" beside "C2", "D1" beside "D2"). The program's
# own copies of the C++ library's operators new and delete run too, but callgrind counts them to
# the shared library's.
functions=$(callgrind_annotate --threshold=100 "$work/start.out" |
    grep -E "/(surfklocka|libsurfklocka_windows\.so)\]$" |
    sed -E 's/^ *[0-9,]+ +(\([^)]*\) +)?//; s/ \[[^]]*\]$//; s/^[^:]*://; s/'"'"'[0-9]+$//' |
    grep -vE '^0x[0-9a-f]+$|\.cold$|[ ()]' || true)
[ -n "$functions" ] || { echo "callgrind found no function of the program" >&2; exit 1; }
functions=$(printf '%s\n' "$functions" _Znwm _ZdlPv _ZdlPvm | sed -E 'p; s/(C|D)1(E|Ev)/\12\2/' |
    sort -u)
{
    echo "# The functions of the program and of its windows' module that run while the main window"
    echo "# starts, by symbol: written by bench/start_functions.sh, laid out side by side by"
    echo "# cmake/start_order.cmake."
    echo "$functions"
} >app/start_functions.txt
echo "app/start_functions.txt: $(echo "$functions" | wc -l) functions" >&2
