#!/usr/bin/env bash
# Builds everything and runs every test: the suite as built, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short run of every fuzzer, a compile of every
# logic file against the real Windows headers, and the Windows build under Wine (the end-to-end
# suite and its agreement with the simulator).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

echo "== simulator build and tests"
cmake --preset default > /dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== the same tests with ASan and UBSan"
cmake --preset sanitize > /dev/null
cmake --build --preset sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset sanitize -j "$jobs"

echo "== the fuzzers, a short run of each"
scripts/fuzz.sh

echo "== logic against the Windows headers"
scripts/check-windows-headers.sh

echo "== the Windows build under Wine"
scripts/build-windows.sh
tests/e2e/run-wine-suite.sh
echo "all tests passed"
