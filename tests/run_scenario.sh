#!/usr/bin/env bash
# Runs one scenario through orvo-sim and holds its log to the .expected file beside it: the lines
# its rule is about, in order, with optional lines and `...` (tests/expected_log.py).
# A scenario may name its expected exit status in a first line "# exit N" (default 0). A scenario
# that ends in a mistake or a failed expect (any other status) has a .stderr file beside it with
# the messages expected on standard error, the scenario named by its file name alone.
set -u
# Debian's Python, which scripts/setup.sh installs: a python3 found first on the PATH may be a
# version manager's stand-in that takes most of a second to start, for every scenario.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
sim=$1
scn=$2
expected=${scn%.scn}.expected
expected_err=${scn%.scn}.stderr
# A byte-order mark before the header is itself a mistake that a scenario may show.
want_status=$(sed -n '1s/^\(\xEF\xBB\xBF\)\?# exit \([0-9]\+\).*/\2/p' "$scn")
want_status=${want_status:-0}
actual=$(mktemp)
"$sim" "$scn" > "$actual" 2> "$actual.err"
status=$?
rc=0
if [ "$status" -ne "$want_status" ]; then
  echo "exit status $status, expected $want_status"; cat "$actual.err"; rc=1
fi
if ! "$python" "$(dirname "$0")/expected_log.py" "$expected" "$actual"; then rc=1; fi
if [ -e "$expected_err" ] || [ "$want_status" -ne 0 ]; then
  if [ ! -e "$expected_err" ]; then
    echo "$expected_err is missing: a scenario that exits with $want_status names its messages"; rc=1
  else
    name=$(basename "$scn")
    err=$(cat "$actual.err")
    err=${err//"$scn"/$name}
    if ! diff -u "$expected_err" <([ -z "$err" ] || printf '%s\n' "$err"); then rc=1; fi
  fi
fi
rm -f "$actual" "$actual.err"
exit $rc
