#!/usr/bin/env bash
# Builds the in-process fuzzers (the fuzz preset: clang, libFuzzer, ASan and UBSan) and runs each
# of them from its corpus in tests/fuzz/corpus for SECONDS, as many at once as there are cores.
# Prints each fuzzer's executions; fails on the first property, sanitizer report, leak or hang.
#
#   scripts/fuzz.sh              # the short run of scripts/test.sh (8 s each)
#   scripts/fuzz.sh 600          # a longer run
#   scripts/fuzz.sh 600 --merge  # ... then adds the inputs that reached new code to the corpora
#   scripts/fuzz.sh 60 registry  # one fuzzer (settings, registry, window_list, storage_card, scenario_syntax)
#
# New inputs of a run go to build/fuzz/found/NAME, never into the repository's corpus unless
# --merge is given. A failing input is kept as build/fuzz/found/NAME-crash-*; run it again with
# build/fuzz/fuzz/fuzz_NAME FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=8
merge=no
only=()
for arg in "$@"; do
  case "$arg" in
    --merge) merge=yes ;;
    [0-9]*) seconds=$arg ;;
    *) only+=("$arg") ;;
  esac
done
fuzzers=(settings registry window_list storage_card scenario_syntax)
[ "${#only[@]}" -gt 0 ] && fuzzers=("${only[@]}")

cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j "$(nproc)" > build/fuzz-build.log 2>&1 || { tail -40 build/fuzz-build.log; exit 1; }

found=$PWD/build/fuzz/found
mkdir -p "$found"
run_one() {
  local name=$1 seconds=$2 found=$3 corpus log
  corpus=$PWD/tests/fuzz/corpus/$name
  log=$found/$name.log
  mkdir -p "$found/$name" "$corpus"
  rm -f "$found/$name"-crash-* "$found/$name"-leak-* "$found/$name"-timeout-*
  # -timeout: one input that runs 10 s is a hang; the artifacts are named after the fuzzer.
  if build/fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$found/$name-" "$found/$name" "$corpus" > "$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf 'fuzz %-16s %9s executions in %s s, clean\n' "$name" "$runs" "$seconds"
  else
    printf 'fuzz %-16s FAILED:\n' "$name"
    grep -E 'property violated|ERROR:|runtime error|SUMMARY|Test unit written' "$log" | head -12 | sed 's/^/    /'
    return 1
  fi
}
export -f run_one
status=0
printf '%s\n' "${fuzzers[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$found" || status=1

if [ "$merge" = yes ] && [ "$status" -eq 0 ]; then
  for name in "${fuzzers[@]}"; do
    build/fuzz/fuzz/fuzz_"$name" -merge=1 "tests/fuzz/corpus/$name" "$found/$name" > "$found/$name-merge.log" 2>&1
    echo "fuzz $name: corpus of $(ls "tests/fuzz/corpus/$name" | wc -l) inputs"
  done
fi
exit $status
