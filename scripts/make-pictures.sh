#!/usr/bin/env bash
# Writes the pictures of docs/pictures/: every screen of Orvo on the simulated Pocket PC
# (docs/pictures/*.png), and the same scenarios on the real system under Wine with the runner's
# stand-in shell (docs/pictures/wine/*.png), so that a reader can compare them. The simulator's
# pictures are deterministic: tests/pictures/check-pictures.sh fails when one no longer matches.
#   scripts/make-pictures.sh              both
#   scripts/make-pictures.sh --simulator  the simulator's pictures alone (no Wine needed)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/docs/pictures
scripts/setup.sh "$([ "${1:-}" = "--simulator" ] && echo simulator || echo all)"
cmake --preset simulator > /dev/null
cmake --build --preset simulator --target orvo-sim
mkdir -p "$out"
cd "$out"
for scn in "$root"/simulator/pictures/*.scn; do
  "$root"/build/simulator/bin/orvo-sim "$scn" > /dev/null
done
echo "pictures: the simulator's in docs/pictures/"
[ "${1:-}" = "--simulator" ] && exit 0

cd "$root"
scripts/build-windows.sh > /dev/null
mkdir -p "$out/wine"
tests/e2e/run-wine-suite.sh --pictures "$out/wine" simulator/pictures/*.scn
echo "pictures: the real system's in docs/pictures/wine/"
