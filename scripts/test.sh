#!/usr/bin/env bash
# Builds everything and runs every test: the suite as built, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, a compile of every logic file against the real
# Windows headers, the Windows build under Wine (the end-to-end suite and its agreement with the
# simulator), and, on a line of their own, the fault sweep on the sanitizer build and a short run of
# every fuzzer. Each part says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
began=$(date +%s)
part() {
  local name=$1 start
  shift
  start=$(date +%s)
  echo "== $name"
  "$@"
  echo "== $name: $(( $(date +%s) - start )) s"
}

simulator_tests() {
  cmake --preset default > /dev/null
  cmake --build --preset default -j "$jobs"
  ctest --preset default -j "$jobs" -E '^sweep\.'
}
sanitizer_tests() {
  cmake --preset sanitize > /dev/null
  cmake --build --preset sanitize -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset sanitize -j "$jobs" -E '^sweep\.'
}
windows_tests() {
  scripts/build-windows.sh
  tests/e2e/run-wine-suite.sh
}
sweep_and_fuzzers() {
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset sanitize -R '^sweep\.' --verbose
  scripts/fuzz.sh
}

part "simulator build and tests" simulator_tests
part "the same tests with ASan and UBSan" sanitizer_tests
part "logic against the Windows headers" scripts/check-windows-headers.sh
part "the Windows build under Wine" windows_tests
tests_done=$(date +%s)
part "the fault sweep (sanitizer build) and the fuzzers" sweep_and_fuzzers
echo "all tests passed: $(( tests_done - began )) s, then the fault sweep and the fuzzers $(( $(date +%s) - tests_done )) s"
