#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_WERROR=ON -DTARVIK_SANITIZE=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure --timeout 300 -j "$(nproc)"
