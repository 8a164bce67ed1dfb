#!/usr/bin/env bash
# Installs what is missing, builds the program and the simulator (nothing else), and starts Tarvik.
# With no hardware named (TARVIK_COM1 unset) a simulated UT5 module answers on COM1 for as long as
# the program runs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tarvik tarvik-sim

if [ -z "${TARVIK_COM1:-}" ] && [ -x build/sim/tarvik-sim ]; then
    simdir=$(mktemp -d)
    build/sim/tarvik-sim --model "${TARVIK_SIM_MODEL:-VQ7_UT5}" --link "$simdir/com1" >"$simdir/sim.log" 2>&1 &
    simpid=$!
    trap 'kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null; rm -rf "$simdir"' EXIT
    for _ in $(seq 50); do [ -e "$simdir/com1" ] && break; sleep 0.1; done
    export TARVIK_COM1="$simdir/com1"
    echo "Simulated module on COM1 ($TARVIK_COM1)"
fi
build/app/tarvik "$@"
