#!/usr/bin/env bash
# Ticks per second of host CPU over one simulated day, and screen traffic per presentation.
set -euo pipefail
cd "$(dirname "$0")/.."
sim=build/default/bin/orvo-sim
[ -x "$sim" ] || { echo "build first: cmake --preset default && cmake --build --preset default"; exit 1; }
work=$(mktemp -d)
printf 'start\nadvance 86400000\nexpect gdi-objects 2\nexpect icons 5\n' > "$work/day.scn"
TIMEFORMAT='%U %S'
{ time "$sim" "$work/day.scn" > "$work/day.log" || true; } 2> "$work/time"
grep -q 'expect failed' "$work/day.log" && { echo "objects leaked:"; grep 'expect failed' "$work/day.log"; }
read -r user sys < "$work/time"
awk -v u="$user" -v s="$sys" -v t=43200 'BEGIN {
  cpu = u + s; printf "one day at 2 s: %d ticks in %.2f s CPU: %.0f ticks/s\n", t, cpu, t / cpu }'
for large in 0 1; do
  size=$((large ? 32 : 16))
  screen=$([ $large -eq 1 ] && echo "480 640" || echo "240 320")
  printf 'screen %s\nsettings-file largeIcons %d\nstart\nadvance 2000\ntraffic\nadvance 2000\ntraffic\n' "$screen" "$large" > "$work/p.scn"
  line=$("$sim" "$work/p.scn" | grep '^traffic' | tail -1)
  bound_read=$((size * size * 3))   # comparison, one copy from the screen, the icon drawing's read
  bound_written=$((size * size * 2)) # one copy onto the screen, the icon drawing's write
  echo "S=$size per presentation: $line (bound: read<=$bound_read written<=$bound_written)"
done
rm -rf "$work"
