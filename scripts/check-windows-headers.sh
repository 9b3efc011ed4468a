#!/usr/bin/env bash
# Compiles (without linking) every logic file with mingw-w64, so that nothing host-only creeps
# into the program's logic.
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" > /dev/null || cxx=x86_64-w64-mingw32-g++
failed=0
count=0
for f in app/*.cpp indicators/*.cpp taskbar/*.cpp tasks/*.cpp settings/*.cpp; do
  count=$((count + 1))
  if ! "$cxx" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I. "$f"; then
    echo "windows headers: $f does not compile"
    failed=$((failed + 1))
  fi
done
echo "windows headers: $((count - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
