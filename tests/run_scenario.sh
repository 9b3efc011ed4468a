#!/usr/bin/env bash
# Runs one scenario through orvo-sim and compares its log with the .expected file beside it.
# A scenario may name its expected exit status in a first line "# exit N" (default 0).
set -u
sim=$1
scn=$2
expected=${scn%.scn}.expected
want_status=$(sed -n '1s/^# exit \([0-9]\+\).*/\1/p' "$scn")
want_status=${want_status:-0}
actual=$(mktemp)
"$sim" "$scn" > "$actual" 2> "$actual.err"
status=$?
rc=0
if [ "$status" -ne "$want_status" ]; then
  echo "exit status $status, expected $want_status"; cat "$actual.err"; rc=1
fi
if ! diff -u "$expected" "$actual"; then rc=1; fi
rm -f "$actual" "$actual.err"
exit $rc
