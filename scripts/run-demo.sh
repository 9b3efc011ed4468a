#!/usr/bin/env bash
# Builds the simulator and runs the demonstration scenario on the default device. The event log
# and a picture of the screen after every step land in build/demo/. Installs only what the
# simulator needs (not Wine, nor the cross compiler).
#   scripts/run-demo.sh            the demonstration, then its pictures
#   scripts/run-demo.sh --window   the same in a window, to go on using the device by hand
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh simulator
cmake --preset simulator > /dev/null
cmake --build --preset simulator --target orvo-sim
mkdir -p build/demo
cd build/demo
rm -f demo-*.png
if [ "${1:-}" = "--window" ]; then
  exec ../simulator/bin/orvo-sim --window ../../simulator/demo.scn
fi
../simulator/bin/orvo-sim ../../simulator/demo.scn | tee events.log
echo
echo "demo: the event log is build/demo/events.log; the screen after each step:"
ls -1 "$PWD"/demo-*.png
echo "demo: scripts/run-demo.sh --window opens the device in a window (the mouse is the pen)"
