#!/usr/bin/env bash
# Builds the Debian package from a build folder with cpack and has lintian check it: any error or
# warning fails. Installs lintian and dpkg-dev (for dpkg-shlibdeps) when they are missing.
# The build folder must be built already (./build.sh test, or cmake --build).
#
# Usage: tools/check-package.sh [build folder, build/ unless given]
#
# Tags that do not apply to this package are overridden, with the reason, in
# resources/debian/lintian-overrides (installed for lintian to read); lintian's --show-overrides
# would count them again, so it is not used here.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
if [ ! -f "$build_dir/CPackConfig.cmake" ]; then
    echo "$build_dir är ingen konfigurerad byggmapp (CPackConfig.cmake saknas)" >&2
    exit 2
fi

tools/install-missing.sh lintian dpkg-dev

rm -f "$build_dir"/surfklocka_*.deb
(cd "$build_dir" && cpack -G DEB)
packages=("$build_dir"/surfklocka_*.deb)
if [ ! -f "${packages[0]}" ]; then
    echo "cpack gjorde inget paket i $build_dir" >&2
    exit 1
fi

echo "lintian ${packages[*]}" >&2
lintian --fail-on error,warning --info "${packages[@]}"
echo "lintian: inga fel och inga varningar i ${packages[*]}" >&2
