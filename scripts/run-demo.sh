#!/usr/bin/env bash
# Builds the simulator and runs the demonstration scenario on the default device; the event log
# and the screenshots land in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default > /dev/null
cmake --build --preset default
mkdir -p build/demo
cd build/demo
../default/bin/orvo-sim ../../simulator/demo.scn | tee events.log
echo "demo: event log in build/demo/events.log, screenshots in build/demo/*.png"
