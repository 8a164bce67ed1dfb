#!/usr/bin/env bash
# Builds the Debian package build-package/tarvik_<version>_<arch>.deb: installs what is missing,
# builds the program, the simulator and the Docrun library (no tests, no benchmarks) for /usr, and
# packs them. Extra arguments go to CMake (CI adds -DTARVIK_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build build-package
rm -f build-package/tarvik_*.deb
cpack --config build-package/CPackConfig.cmake -B build-package >/dev/null
ls build-package/tarvik_*.deb
