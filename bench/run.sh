#!/usr/bin/env bash
# The benchmark, in one run: the simulator's speed, what one presentation costs in platform calls
# and screen pixels against its bound, and the real program's own processor time per tick under
# Wine with the indicator on and off; peak memory of both. Builds what it needs first.
#   bench/run.sh            everything
#   bench/run.sh --sim      the simulator's figures alone (no Wine)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
sim=build/default/bin/orvo-sim
scripts/setup.sh "$([ "${1:-}" = "--sim" ] && echo simulator || echo all)" > /dev/null
cmake --preset default > /dev/null
cmake --build --preset default --target orvo-sim > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# --- The simulator: one simulated day at a 2-second refresh, three kinds in rotation -----------
printf 'start\nadvance 86400000\nexpect gdi-objects 2\nexpect icons 4\n' > "$work/day.scn"
/usr/bin/time -f '%U %S %M' -o "$work/day.time" "$sim" "$work/day.scn" > "$work/day.log" || true
if grep -q 'expect failed' "$work/day.log"; then echo "objects leaked over the day:"; grep 'expect failed' "$work/day.log"; status=1; fi
read -r user sys rss < "$work/day.time"
awk -v u="$user" -v s="$sys" -v m="$rss" -v t=43200 'BEGIN {
  cpu = u + s
  printf "simulator: one day (%d ticks) in %.2f s CPU: %.0f ticks per CPU second (target 86000); peak memory %.1f MB\n",
         t, cpu, t / cpu, m / 1024 }'

# --- One presentation: platform calls and screen pixels -----------------------------------------
# The battery's charge is unknown, so a tick loads its status icon and presents it: the calls of
# such a tick are the presentation's and the icon's load. The bound of a presentation: at most
# S x S comparisons, two S x S copies and one icon drawing (reads at most 4 S x S, writes 3 S x S).
for large in 0 1; do
  size=$((large ? 32 : 16))
  screen=$([ $large -eq 1 ] && echo "480 640" || echo "240 320")
  { echo "screen $screen"; echo "settings-file largeIcons $large showProgramMemory 0 showMainStorage 0"
    sed -n '/^battery/,$p' bench/scenarios/presentation.scn; } > "$work/p.scn"
  "$sim" "$work/p.scn" > "$work/p.log"
  bound_read=$((size * size * 4))
  bound_written=$((size * size * 3))
  paste -d' ' <(grep '^calls' "$work/p.log" | tail -2) <(grep '^traffic' "$work/p.log" | tail -2) > "$work/p.rows"
  for case in "intact square" "after a taskbar repaint"; do
    read -r line
    total=$(sed -n 's/.* total=\([0-9]*\).*/\1/p' <<< "$line")
    read_px=$(sed -n 's/.*read=\([0-9]*\).*/\1/p' <<< "$line")
    written=$(sed -n 's/.*written=\([0-9]*\).*/\1/p' <<< "$line")
    verdict="within bound"
    if [ "$read_px" -gt "$bound_read" ] || [ "$written" -gt "$bound_written" ]; then verdict="OVER BOUND"; status=1; fi
    echo "presentation S=$size, $case: $total fallible platform calls in the tick (its reading and icon load included); screen pixels read=$read_px written=$written" \
         "(bound: read<=$bound_read written<=$bound_written) $verdict"
  done < "$work/p.rows"
  grep '^calls' "$work/p.log" | tail -1 | sed "s/^calls/  calls of one tick:/"
done
[ "${1:-}" = "--sim" ] && exit $status

# --- The real program under Wine: its own processor time per tick ------------------------------
# The runner's process holds the program, the stand-in shell and the runner; the same 500 ticks
# with every kind switched off cost all but the program's share, so the difference is Orvo's own.
scripts/build-windows.sh > /dev/null
tests/e2e/run-wine-suite.sh --logs "$work/wine" bench/scenarios/wine-*.scn > "$work/wine.out" 2>&1 ||
  { cat "$work/wine.out"; exit 1; }
cpu() { grep '^cpu-time' "$work/wine/$1.log" | awk 'NR == 1 { a = $2 } NR == 2 { b = $2 } END { print b - a }'; }
for size in small large; do
  s=$([ $size = large ] && echo 32 || echo 16)
  target=$([ $size = large ] && echo 3 || echo 1)
  on=$(cpu "wine-$size-on")
  off=$(cpu "wine-$size-off")
  awk -v on="$on" -v off="$off" -v s="$s" -v t="$target" -v m="$(cat "$work/wine/wine-$size-on.rss")" 'BEGIN {
    printf "real program under Wine, S=%d: %.2f ms CPU per tick with the indicator, %.2f ms without: Orvo'"'"'s own %.2f ms (target %d ms); peak memory %.1f MB\n",
           s, on / 500, off / 500, (on - off) / 500, t, m / 1024 }'
done
exit $status
