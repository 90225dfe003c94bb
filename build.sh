#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds Surfklocka, and starts it (run) or runs every test
# (test). Usage: ./build.sh run | ./build.sh test
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${BUILD_DIR:-build}

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
    qt6-l10n-tools libgl-dev fonts-dejavu-core librsvg2-bin
    googletest libgtest-dev libgmock-dev
)
if [ "$mode" = test ]; then
    packages+=(poppler-utils appstream desktop-file-utils)
fi

tools/install-missing.sh "${packages[@]}"

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_EXTRA_ARGS:-}
cmake --build "$build_dir" --parallel

case "$mode" in
run)
    exec "$build_dir/surfklocka"
    ;;
test)
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
    ;;
*)
    echo "Användning: $0 run | test" >&2
    exit 2
    ;;
esac
