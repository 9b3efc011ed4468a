#!/usr/bin/env bash
# Builds everything and runs every test: the suite as built, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, a compile of every logic file against the real
# Windows headers, the Windows build under Wine (the end-to-end suite and its agreement with the
# simulator), and, on a line of their own, the fault sweep on the sanitizer build and a short run of
# every fuzzer. Each part says how long it took.
#
# The simulator's two builds and the Windows side run side by side: the Wine suite mostly waits for
# the X server and Wine's server, and the builds use the processor it leaves. The simulator's side
# runs at a lower priority, so that the suite runs as it would alone. Each side keeps its log in
# build/test-logs/ and prints it when both are done.
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
  # The fresh Wine prefix needs no build: it is made while the build runs.
  tests/e2e/run-wine-suite.sh --make-prefix > "$logs/wine-prefix.log" 2>&1 &
  local prefix=$! built=0 made=0
  scripts/build-windows.sh || built=$?
  wait "$prefix" || made=$?
  cat "$logs/wine-prefix.log"
  if [ "$built" -ne 0 ] || [ "$made" -ne 0 ]; then return 1; fi
  tests/e2e/run-wine-suite.sh --prefix-made
}
simulator_side() {
  part "simulator build and tests" simulator_tests
  part "the same tests with ASan and UBSan" sanitizer_tests
}
windows_side() {
  part "logic against the Windows headers" scripts/check-windows-headers.sh
  part "the Windows build under Wine" windows_tests
}
sweep_and_fuzzers() {
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset sanitize -R '^sweep\.' --verbose
  scripts/fuzz.sh
}

logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
echo "== the simulator's builds and tests, and the Windows build under Wine, side by side (logs in $logs)"
(renice -n 10 -p "$BASHPID" > /dev/null; simulator_side) > "$logs/simulator.log" 2>&1 &
simulator=$!
(windows_side) > "$logs/windows.log" 2>&1 &
windows=$!
simulatorStatus=0
windowsStatus=0
wait "$simulator" || simulatorStatus=$?
wait "$windows" || windowsStatus=$?
cat "$logs/simulator.log" "$logs/windows.log"
if [ "$simulatorStatus" -ne 0 ] || [ "$windowsStatus" -ne 0 ]; then
  [ "$simulatorStatus" -eq 0 ] || echo "tests failed: the simulator's side (see above, or $logs/simulator.log)"
  [ "$windowsStatus" -eq 0 ] || echo "tests failed: the Windows side (see above, or $logs/windows.log)"
  exit 1
fi
tests_done=$(date +%s)
part "the fault sweep (sanitizer build) and the fuzzers" sweep_and_fuzzers
echo "all tests passed: $(( tests_done - began )) s, then the fault sweep and the fuzzers $(( $(date +%s) - tests_done )) s"
