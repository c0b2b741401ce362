#!/bin/bash
# Builds everything and runs every test: the native build (record store
# tests), the 64-bit and the 32-bit Windows builds with their tests under
# Wine, each in a prefix of its own architecture, the release packages
# (scripts/package.sh) and their test, and the fuzz targets of the reader
# and the search for a bounded time. Installs missing tools first
# (scripts/setup.sh). On a machine that runs no 32-bit programs the 32-bit
# build is compiled and its packages checked by their contents, and the
# script says so.
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

# One virtual display serves all the Windows tests; each build's tests run
# in its own Wine prefix (build/win64/wineprefix, build/win32/wineprefix).
export WINEPREFIX=$root/build/win64/wineprefix
tabulo_prefix_init "$WINEPREFIX"
tabulo_start_display
cleanup() {
    wineserver -k 2>/dev/null || true
    tabulo_stop_display
}
trap cleanup EXIT
ctest --preset win64
wineserver -k 2>/dev/null || true

blocker=$(tabulo_32bit_blocker)
probes=(build/win64/tests/probe.exe)
if [ -z "$blocker" ]; then
    export WINEARCH=win32 WINEPREFIX=$root/build/win32/wineprefix
    tabulo_prefix_init "$WINEPREFIX"
    ctest --preset win32
    wineserver -k 2>/dev/null || true
    probes+=(build/win32/tests/probe.exe)
else
    echo "32-bit runs skipped: $blocker"
fi

# The release packages, installed and run in Wine prefixes of their own.
scripts/package.sh
tests/package/package-test.sh "${probes[@]}"

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
