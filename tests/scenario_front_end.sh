#!/usr/bin/env bash
# The simulator's front end where a scenario file cannot show it: its usage, a directory, a
# missing or unreadable file, and the event log of a run that is killed.
set -u
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run ARGS...: sets status, out and err.
run() {
  "$sim" "$@" > "$work/out" 2> "$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

run --help
[ "$status" -eq 0 ] || fail "--help: exit $status"
[[ "$out" == "usage: orvo-sim FILE.scn"* ]] || fail "--help: usage not on standard output: $out"
[ -z "$err" ] || fail "--help: standard error: $err"

run
[ "$status" -eq 2 ] || fail "no argument: exit $status"
[[ "$err" == "usage: orvo-sim FILE.scn"* ]] || fail "no argument: usage not on standard error: $err"

mkdir "$work/folder.scn"
run "$work/folder.scn"
[ "$status" -eq 2 ] || fail "directory: exit $status"
[ "$err" = "$work/folder.scn:0: a directory, not a scenario file" ] || fail "directory: $err"
[ -z "$out" ] || fail "directory: a log: $out"

run "$work/missing.scn"
[ "$status" -eq 2 ] || fail "missing file: exit $status"
[ "$err" = "$work/missing.scn:0: cannot open the scenario: No such file or directory" ] || fail "missing file: $err"

# A file that opens but cannot be read: the reading process's own memory at offset 0.
run /proc/self/mem
[ "$status" -eq 2 ] || fail "unreadable file: exit $status"
[ "$err" = "/proc/self/mem:1: cannot read the scenario" ] || fail "unreadable file: $err"

if [ "$(id -u)" -ne 0 ]; then  # root reads a file without read permission all the same
  printf 'start\n' > "$work/locked.scn"
  chmod 000 "$work/locked.scn"
  run "$work/locked.scn"
  [ "$status" -eq 2 ] || fail "file without read permission: exit $status"
  [ "$err" = "$work/locked.scn:0: cannot open the scenario: Permission denied" ] || fail "no permission: $err"
fi

# The log is written as it happens: a run killed in the middle of a long command keeps every line
# up to that moment. (Standard input is not used: reading it would flush the log by itself.)
printf 'start\nadvance 1000000000000\n' > "$work/long.scn"
"$sim" "$work/long.scn" > "$work/killed.log" 2> /dev/null &
pid=$!
for _ in $(seq 100); do
  grep -q '^0 timer-set 159 2000$' "$work/killed.log" && break
  sleep 0.1
done
{ kill -KILL "$pid"; wait "$pid"; } 2> /dev/null
expected=$'0 process-start orvo\n0 tray-add 5302 161\n0 timer-set 159 2000'
[ "$(cat "$work/killed.log")" = "$expected" ] || fail "killed run: log $(cat "$work/killed.log")"

# The monkey's arguments: a seed is a count, steps and seeds at least 1; a seed's events, printed,
# are a scenario that plays again.
for args in "--monkey" "--monkey -1" "--monkey 1 --steps 0" "--monkey 1 --seeds" "--monkey 1 --bogus 3"; do
  run $args
  [ "$status" -eq 2 ] || fail "$args: exit $status"
done
run --monkey 4 --steps 60 --print
[ "$status" -eq 0 ] || fail "--monkey 4: exit $status: $err"
printf '%s\n' "$out" | grep -v '^monkey: ' > "$work/seed4.scn"
"$sim" "$work/seed4.scn" > /dev/null 2>&1 || fail "the printed events of seed 4 do not play again"

[ "$failures" -eq 0 ] && echo "front end: all checks passed"
exit $((failures > 0))
