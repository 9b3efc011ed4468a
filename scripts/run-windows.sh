#!/usr/bin/env bash
# Runs the real orvo.exe under Wine on a Linux desktop: builds it when needed, installs it into a
# Wine prefix of its own and starts it in a Wine desktop window that has Wine's taskbar and
# notification area, where the tray meter appears at the bottom right.
#
# Usage: scripts/run-windows.sh [WIDTHxHEIGHT]     (the Wine desktop's size, default 1024x768)
#
# The prefix is build/wine-run/prefix; Orvo is installed there as C:\Program Files\Orvo\orvo.exe
# and keeps its settings file, orvo.dat, beside it, from one run to the next. Closing the Wine
# desktop window ends everything in it; "Exit" in Orvo's menu ends Orvo alone.
# Installs Wine with apt-get when it is missing (run as root, or with sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1024x768}
if ! [[ "$size" =~ ^[0-9]+x[0-9]+$ ]]; then
  echo "usage: scripts/run-windows.sh [WIDTHxHEIGHT]"
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "run-windows: there is no X display (DISPLAY is not set); run it from a desktop session."
  echo "run-windows: tests/e2e/run-desktop-check.sh runs it on a virtual screen and takes its pictures."
  exit 1
fi

if ! command -v wine > /dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends wine wine64
fi

exe=$(scripts/build-windows.sh | tail -n 1)

export WINEPREFIX=$PWD/build/wine-run/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
  echo "run-windows: making the Wine prefix $WINEPREFIX (once)"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi
# Wine draws a caption's buttons with Marlett's glyphs; a Wine that does not find its own fonts'
# folder (Debian's) would draw them as letters.
[ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] &&
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

folder="$WINEPREFIX/drive_c/Program Files/Orvo"
mkdir -p "$folder"
cmp -s "$exe" "$folder/orvo.exe" || cp "$exe" "$folder/orvo.exe"
echo "run-windows: Orvo runs in the Wine desktop window ($size); its settings: $folder/orvo.dat"
exec wine explorer "/desktop=shell,$size" 'C:\Program Files\Orvo\orvo.exe'
