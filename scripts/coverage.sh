#!/bin/bash
# Builds the record store's native tests measured for coverage (clang's
# source-based coverage, CMake preset "coverage", in build/coverage), runs
# them and prints, for each file of storage/, the share of its lines and of
# its branches that the tests reach, then the lines that no test reaches.
#
#   scripts/coverage.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cmake --preset coverage >/dev/null
cmake --build build/coverage --target storage_tests >/dev/null

out=build/coverage
tests=$out/tests/storage_tests
rm -f "$out"/storage_tests.profraw
LLVM_PROFILE_FILE=$out/storage_tests.profraw "$tests" --gtest_brief=1 >/dev/null
llvm-profdata merge -sparse "$out"/storage_tests.profraw -o "$out"/storage_tests.profdata
# llvm-cov warns of "mismatched data" for two of gtest's functions that
# carry no counts; nothing of storage/ is concerned.
cover() { llvm-cov "$@" "$tests" -instr-profile="$out"/storage_tests.profdata storage 2>/dev/null; }

# Columns of llvm-cov's report: file, regions (3), functions (3), lines (3),
# branches (3).
cover report | awk '
    NR == 1 { printf "%-24s %22s %24s\n", "storage/", "lines reached", "branches reached"; next }
    /^-/ { next }
    { printf "%-24s %7s %6s of %-6s %7s %6s of %-6s\n", $1, $10, $8 - $9, $8, $13, $11 - $12, $11 }'

echo
echo "Lines no test reaches:"
cover export -format=lcov | awk -F'[:,]' '
    /^SF:/ { file = $2; sub(".*/storage/", "storage/", file) }
    /^DA:/ && $3 == 0 { lines[file] = lines[file] " " $2 }
    END { for (f in lines) print "  " f ":" lines[f] }' | sort
