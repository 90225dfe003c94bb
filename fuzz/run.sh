#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a number of inputs, starting from the committed corpus.
# Usage: fuzz/run.sh [inputs per target, default 10000000] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(month settings range texts pending)

tools/install-missing.sh clang libclang-rt-14-dev

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DSURFKLOCKA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz

for target in "${targets[@]}"; do
    work=$(mktemp -d)
    cp fuzz/corpus/"$target"/* "$work"/
    echo "== $target"
    build-fuzz/fuzz/fuzz_"$target" "$work" -runs="$runs" -max_len=2048 -print_final_stats=1 \
        2>&1 | grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)|ERROR|SUMMARY'
    rm -rf "$work"
done
