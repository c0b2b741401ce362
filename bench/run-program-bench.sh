#!/bin/bash
# Builds the program benchmark (64-bit Windows) and runs it in the project's
# Wine prefix: the real program with 10,000, 100,000 and 1,000,000 generated
# records, beside the floors of the same work. Figures only; takes about
# ten minutes with the defaults.
#
#   bench/run-program-bench.sh [--records=10000,100000,1000000] [--runs=3]
#
# TABULO_BENCH_BUILD names the build folder (default build/program-bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TABULO_BENCH_BUILD:-$root/build/program-bench}

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
    -DTABULO_PROGRAM_BENCH=ON >/dev/null
cmake --build "$build" --target program_bench -j2
"$root/scripts/wine-run.sh" win64 "$build/wineprefix" "$build/bench/program_bench.exe" "$@" | tr -d '\r'
