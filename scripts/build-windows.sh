#!/usr/bin/env bash
# Cross-compiles the real program, orvo.exe, with mingw-w64 and prints its path.
# Installs the cross compiler with apt-get when it is missing (run as root, or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
command -v x86_64-w64-mingw32-g++-posix > /dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v x86_64-w64-mingw32-windres > /dev/null || need+=(binutils-mingw-w64-x86-64)
command -v cmake > /dev/null || need+=(cmake)
command -v ninja > /dev/null || need+=(ninja-build)
command -v c++ > /dev/null || need+=(g++)
if [ "${#need[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${need[@]}"
fi

build=build/win32
cmake -S platform/win32 -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DORVO_BUILD_E2E=ON \
  -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-Release}" > /dev/null
cmake --build "$build"
echo "$PWD/$build/orvo.exe"
