#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-release/) and runs them all, then prints one table in
# Markdown: operation, measured median, baseline median, ratio, goal, met.
# Usage: ./bench/run.sh
#   BENCH_BUILD_DIR    build folder (build-release)
#   BENCH_REPETITIONS  repetitions of each storage and window benchmark (9)
#   BENCH_STARTS       launches of each program in the benchmark of whole processes (41)
# Needs what ./build.sh installs, and installs Google Benchmark, Xvfb, Timewarrior and Valgrind
# when they are missing. The window's start is measured on Xvfb when it can be started (offscreen
# otherwise), and counted in instructions under callgrind; the clicks run offscreen either way.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BENCH_BUILD_DIR:-build-release}
repetitions=${BENCH_REPETITIONS:-9}
starts=${BENCH_STARTS:-41}

tools/install-missing.sh libbenchmark-dev xvfb timewarrior valgrind

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSURFKLOCKA_BENCH=ON >&2
cmake --build "$build_dir" --target bench_storage bench_windows bench_processes bench_table \
    bench_make_sample >&2

load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
out=$(mktemp -d)
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$out"
}
trap cleanup EXIT

# The window's start is measured on a real X server (Xvfb) when there is one to start.
startup_platform=offscreen
if command -v Xvfb >/dev/null; then
    for display in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; then
            Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            xvfb_pid=$!
            for _ in $(seq 100); do
                [ -e "/tmp/.X11-unix/X$display" ] && break
                sleep 0.05
            done
            export DISPLAY=":$display"
            startup_platform=xcb
            break
        fi
    done
fi

# Runs one benchmark program with its console output kept aside; shows it when the run fails.
run() {
    local name=$1
    shift
    if ! "$@" --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
        --benchmark_out_format=json --benchmark_out="$out/$name.json" >"$out/$name.log" 2>&1; then
        cat "$out/$name.log" >&2
        exit 1
    fi
}
echo "Lagring (bench_storage) ..." >&2
run storage "$build_dir/bench/bench_storage" --benchmark_repetitions="$repetitions"
echo "Fönster (bench_windows, offscreen) ..." >&2
run windows env QT_QPA_PLATFORM=offscreen "$build_dir/bench/bench_windows" \
    --benchmark_repetitions="$repetitions"
echo "Processer (bench_processes, fönstret på $startup_platform) ..." >&2
run processes env QT_QPA_PLATFORM="$startup_platform" "$build_dir/bench/bench_processes" \
    --benchmark_repetitions="$starts"

# The window's start once more in instructions, which the machine's load does not move: each
# window once under callgrind, on the same display and a data folder with today's month booked,
# ended by the idle probe once shown and idle. The largest count is the window's own process
# (a child it forks reports the count it was forked with).
echo "Instruktioner (callgrind, fönstret på $startup_platform) ..." >&2
mkdir -p -m 700 "$out/home/surfklocka"
"$build_dir/bench/bench_make_sample" "$out/home/surfklocka" month
# One report entry: a window's count, -1 ("not run") when callgrind gave none.
instructions() {
    local count
    count=$(XDG_DATA_HOME="$out/home" XDG_RUNTIME_DIR="$out/home" \
        QT_QPA_PLATFORM="$startup_platform" SURFKLOCKA_PROBE_FD=9 \
        LD_PRELOAD="$PWD/$build_dir/bench/libsurfklocka_idle_probe.so" \
        valgrind --tool=callgrind --callgrind-out-file=/dev/null "$2" 9>/dev/null 2>&1 |
        sed -nE 's/^==[0-9]+== Collected : ([0-9]+)$/\1/p' | sort -n | tail -1 || true)
    printf '{"run_name": "%s", "aggregate_name": "median", "instructions": %s}' "$1" "${count:--1}"
}
printf '{"benchmarks": [%s, %s]}\n' \
    "$(instructions Callgrind_Window_Month "$build_dir/surfklocka")" \
    "$(instructions Callgrind_LabelWindow "$build_dir/bench/bench_label_window")" \
    >"$out/instructions.json"

echo "Medians on $(date -u +%Y-%m-%d) — $(nproc) cores, load average $load_at_start at the start" \
    "and $(cut -d' ' -f1-3 /proc/loadavg) at the end;" \
    "$repetitions repetitions, $starts launches of each process, in random interleaved order;" \
    "clicks offscreen, the window's start on $startup_platform."
echo
"$build_dir/bench/bench_table" "$out/storage.json" "$out/windows.json" "$out/processes.json" \
    "$out/instructions.json"
