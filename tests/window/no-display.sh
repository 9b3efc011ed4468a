#!/usr/bin/env bash
# orvo-sim --window without a display fails at once with a clear message and status 2.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$1" --window 2>&1 > /dev/null)
status=$?
[ "$status" -eq 2 ] || { echo "status $status, expected 2"; exit 1; }
grep -q "needs a display" <<< "$out" || { echo "no clear message: $out"; exit 1; }
