#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds Surfklocka, and starts it (run) or runs every test
# (test). Usage: ./build.sh run | ./build.sh test
#
# The tests run twice: under the locale C.UTF-8 and under sv_SE.UTF-8, which is generated when it
# is missing, since the program must write and read numbers alike under both. Both runs take
# SURFKLOCKA_MODEL_SEQUENCES sequences of the model test (100 000 unless set).
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
build_dir=${BUILD_DIR:-build}

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
    qt6-l10n-tools qt6-svg-dev qt6-translations-l10n libgl-dev fonts-dejavu-core librsvg2-bin
    googletest libgtest-dev libgmock-dev
)
if [ "$mode" = test ]; then
    packages+=(poppler-utils appstream desktop-file-utils locales librapidcheck-dev python3 dbus
        faketime)
fi

tools/install-missing.sh "${packages[@]}"

swedish_locale=sv_SE.UTF-8
if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qiE '^sv_SE\.utf-?8$'; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    echo "Skapar språkinställningen $swedish_locale" >&2
    if grep -qE "^# *$swedish_locale UTF-8" /etc/locale.gen; then
        $sudo sed -i -E "s/^# *($swedish_locale UTF-8)/\1/" /etc/locale.gen
    elif ! grep -qE "^$swedish_locale UTF-8" /etc/locale.gen; then
        echo "$swedish_locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen >&2
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_EXTRA_ARGS:-}
cmake --build "$build_dir" --parallel

case "$mode" in
run)
    exec "$build_dir/surfklocka"
    ;;
test)
    # Every test under one locale: LANG and LC_ALL both, so that nothing of the caller's remains.
    # Both runs go ahead whatever the first gives; the command fails when either failed.
    run_tests() {
        echo "Kör testerna under språkinställningen $1" >&2
        LANG=$1 LC_ALL=$1 QT_QPA_PLATFORM=offscreen \
            ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
    }
    status=0
    run_tests C.UTF-8 || status=1
    run_tests "$swedish_locale" || status=1
    exit "$status"
    ;;
*)
    echo "Användning: $0 run | test" >&2
    exit 2
    ;;
esac
