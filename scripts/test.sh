#!/bin/bash
# Builds everything and runs every test: the native build (record store
# tests), the 64-bit Windows build with its tests under Wine, the 32-bit
# Windows build (compiled only), and the reader's fuzz target for a bounded
# time. Installs missing tools first (scripts/setup.sh).
#
#   scripts/test.sh                 everything
#   TABULO_FUZZ_SECONDS=0 scripts/test.sh   skip the fuzzing run
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-common.sh

scripts/setup.sh

build() { # build PRESET (see CMakePresets.json)
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

build native
build win64
build win32
build fuzz

ctest --preset native

# One virtual display and one Wine prefix serve all the Windows tests.
export WINEPREFIX=$root/build/win64/wineprefix
tabulo_prefix_init "$WINEPREFIX"
tabulo_start_display
cleanup() {
    wineserver -k 2>/dev/null || true
    tabulo_stop_display
}
trap cleanup EXIT
ctest --preset win64

seconds=${TABULO_FUZZ_SECONDS:-60}
if [ "$seconds" -gt 0 ]; then
    corpus=$(mktemp -d)
    cp fuzz/corpus/* "$corpus"/
    build/fuzz/fuzz/reader_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        "$corpus" 2>&1 | tail -n 4
    rm -rf "$corpus"
fi
echo "all tests passed"
