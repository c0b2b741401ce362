#!/bin/bash
# Builds everything and runs every test: the native build (record store
# tests), the 64-bit Windows build with its tests under Wine, the 32-bit
# Windows build (compiled only), the release packages (scripts/package.sh)
# and their test, and the fuzz targets of the reader and the search for a
# bounded time. Installs missing tools first (scripts/setup.sh).
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

# The release packages; the 64-bit ones are installed and run in a Wine
# prefix of their own.
scripts/package.sh
tests/package/package-test.sh build/win64/tests/probe.exe

# fuzz TARGET SECONDS [SEEDS]: runs a fuzz target from a copy of its seed
# corpus (none: an empty one). A fault fails the run with the fuzzer's whole
# report; the input that caused it is kept in build/fuzz/artifacts/.
fuzz() {
    local target=$1 seconds=$2 seeds=${3:-}
    local corpus=build/fuzz/corpus-$target artifacts=build/fuzz/artifacts log=build/fuzz/$target.log
    rm -rf "$corpus"
    mkdir -p "$corpus" "$artifacts"
    if [ -n "$seeds" ]; then
        cp "$seeds"/* "$corpus"/
    fi
    if "build/fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
        tail -n 4 "$log"
    else
        cat "$log"
        echo "the fuzzer $target found a fault; its input is in $artifacts/"
        return 1
    fi
}

# The reader and the search share the fuzzing time.
seconds=${TABULO_FUZZ_SECONDS:-60}
if [ "$seconds" -gt 0 ]; then
    fuzz reader_fuzz $(((seconds + 1) / 2)) fuzz/corpus
    if [ "$seconds" -gt 1 ]; then
        fuzz search_fuzz $((seconds / 2))
    fi
fi
echo "all tests passed"
