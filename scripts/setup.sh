#!/usr/bin/env bash
# Installs what the build and the tests need, with apt-get, when it is missing.
set -euo pipefail

packages=(cmake ninja-build g++ llvm libgtest-dev libgmock-dev googletest libpng-dev pkg-config python3-pil
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb libx11-6 python3
          clang libclang-rt-14-dev
          ${ORVO_EXTRA_PACKAGES:-})
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
