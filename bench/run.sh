#!/usr/bin/env bash
# Ticks per second of host CPU over one simulated day, and screen traffic per presentation.
set -euo pipefail
cd "$(dirname "$0")/.."
sim=build/default/bin/orvo-sim
[ -x "$sim" ] || { echo "build first: cmake --preset default && cmake --build --preset default"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'start\nadvance 86400000\nexpect gdi-objects 2\nexpect icons 5\n' > "$work/day.scn"
TIMEFORMAT='%U %S'
{ time "$sim" "$work/day.scn" > "$work/day.log" || true; } 2> "$work/time"
grep -q 'expect failed' "$work/day.log" && { echo "objects leaked:"; grep 'expect failed' "$work/day.log"; }
read -r user sys < "$work/time"
awk -v u="$user" -v s="$sys" -v t=43200 'BEGIN {
  cpu = u + s; printf "one day at 2 s: %d ticks in %.2f s CPU: %.0f ticks/s\n", t, cpu, t / cpu }'
# The bound of one presentation: at most S x S comparisons (screen reads), two S x S copies (each
# reads or writes the square) and one S x S icon drawing (reads and writes the square).
over=0
for large in 0 1; do
  size=$((large ? 32 : 16))
  screen=$([ $large -eq 1 ] && echo "480 640" || echo "240 320")
  printf 'screen %s\nsettings-file largeIcons %d\nstart\nadvance 2000\ntraffic\nadvance 2000\ntraffic\ntaskbar-repaint\ntraffic\n' \
    "$screen" "$large" > "$work/p.scn"
  "$sim" "$work/p.scn" | grep '^traffic' | tail -2 > "$work/traffic"
  bound_read=$((size * size * 4))
  bound_written=$((size * size * 3))
  for case in "intact square" "after a taskbar repaint"; do
    read -r _ r w
    r=${r#read=}; w=${w#written=}
    verdict="within bound"
    if [ "$r" -gt "$bound_read" ] || [ "$w" -gt "$bound_written" ]; then verdict="OVER BOUND"; over=1; fi
    echo "S=$size per presentation, $case: read=$r written=$w (bound: read<=$bound_read written<=$bound_written) $verdict"
  done < "$work/traffic"
done
exit $over
