#!/usr/bin/env bash
# Installs what the build and the tests need, with apt-get, when it is missing.
#   scripts/setup.sh            everything: the simulator, its tests, the Windows build and Wine
#   scripts/setup.sh simulator  only what building and running the simulator needs
set -euo pipefail

# The simulator: compilers, resources (llvm-rc), screenshots (libpng), the screen's text
# (FreeType with the system's fonts from fonts-wine, which is fonts only), its window (SDL2).
simulator=(cmake ninja-build g++ llvm libpng-dev pkg-config libfreetype-dev fonts-wine libsdl2-dev)
# Its tests: GoogleTest, the image checks (Python's imaging library), the window test (Xvfb, xdotool).
tests=(libgtest-dev libgmock-dev googletest python3 python3-pil xvfb xdotool)
# The Windows build and the suite under Wine.
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 libx11-6)

case "${1:-all}" in
  simulator) packages=("${simulator[@]}") ;;
  all) packages=("${simulator[@]}" "${tests[@]}" "${windows[@]}") ;;
  *) echo "usage: scripts/setup.sh [simulator|all]" >&2; exit 2 ;;
esac
packages+=(${ORVO_EXTRA_PACKAGES:-})
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
