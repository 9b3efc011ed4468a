#!/usr/bin/env bash
# Compiles (without linking) every logic file with mingw-w64, so that nothing host-only creeps
# into the program's logic.
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" > /dev/null || cxx=x86_64-w64-mingw32-g++
files=(app/*.cpp indicators/*.cpp taskbar/*.cpp tasks/*.cpp settings/*.cpp)
# One compile per file, as many at once as there are cores; each failure is named.
report=$(printf '%s\0' "${files[@]}" |
  xargs -0 -P "$(nproc)" -I{} sh -c '"$0" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I. "$1" 2>&1 || echo "windows headers: $1 does not compile"' "$cxx" {})
[ -z "$report" ] || printf '%s\n' "$report"
failed=$(printf '%s\n' "$report" | grep -c "does not compile" || true)
echo "windows headers: $(( ${#files[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
