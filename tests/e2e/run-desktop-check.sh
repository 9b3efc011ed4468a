#!/usr/bin/env bash
# The real orvo.exe (not the test image) on a Wine desktop of 800 x 600 with Wine's own taskbar
# and notification area, and without the Pocket PC shell: tests/e2e/desktop/desktop_check.cpp.
#
# Usage: tests/e2e/run-desktop-check.sh [--prefix WINEPREFIX]
#   --prefix reuses a Wine prefix made by the caller (the suite's); otherwise a fresh one is made.
# Needs: scripts/build-windows.sh's build, wine64, Xvfb. Leaves the pictures of the desktop (the
# tray meter on the light and on the dark taskbar and at 144 DPI, its menu, the Settings and
# Programs dialogs, the About box) in build/wine-desktop/ as PNG files when Python's PIL is at
# hand (BMP otherwise).
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
exe=$root/build/win32/orvo.exe
checker=$root/build/win32/orvo-desktop-check.exe
for f in "$exe" "$checker"; do
  [ -x "$f" ] || { echo "desktop check: $f is missing (scripts/build-windows.sh builds it)"; exit 1; }
done
work=$root/build/wine-desktop
mkdir -p "$work"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
fresh=1
if [ "${1:-}" = "--prefix" ]; then
  export WINEPREFIX=$2
  fresh=0
else
  export WINEPREFIX=$work/prefix
fi

xvfb=""
cleanup() {
  wineserver -k > /dev/null 2>&1
  wineserver -w > /dev/null 2>&1
  [ -n "$xvfb" ] && { kill "$xvfb" > /dev/null 2>&1; wait "$xvfb" 2> /dev/null; }
}
trap cleanup EXIT

# Wine's programs keep the X server they started on: the caller's are ended first.
wineserver -k > /dev/null 2>&1
wineserver -w
# The server takes a free display number itself and says which when it is ready.
rm -f "$work/xvfb.display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3> "$work/xvfb.display" > "$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 300); do [ -s "$work/xvfb.display" ] && break; sleep 0.1; done
n=$(head -n 1 "$work/xvfb.display")
[ -n "$n" ] || { echo "desktop check: Xvfb did not start (see $work/xvfb.log)"; exit 1; }
export DISPLAY=":$n"

started=$(date +%s)
if [ "$fresh" -eq 1 ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i > "$work/wineboot.log" 2>&1
fi
# Every program on one Wine desktop with Wine's shell (its taskbar and notification area), in
# Wine's own light colours (a prefix from an older run may still hold darkened ones); the check
# makes the taskbar dark itself for a while.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f > /dev/null 2>&1
wine reg delete 'HKCU\Control Panel\Colors' /v Menu /f > /dev/null 2>&1
wine reg delete 'HKCU\Control Panel\Colors' /v MenuText /f > /dev/null 2>&1
wineserver -w
# Wine draws a caption's buttons with Marlett's glyphs; a Wine that does not find its own fonts'
# folder (Debian's) would draw them as the letters "0 1 r" in the pictures of the dialogs. The
# text keeps the fonts this Wine finds.
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# Installed as a user would: the program alone, in a folder of its own whose name has a blank.
folder="$WINEPREFIX/drive_c/Orvo Desk"
[ -e "$folder/orvo.dat" ] && chattr -i "$folder/orvo.dat" 2> /dev/null
rm -rf "$folder"
mkdir -p "$folder"
cp "$exe" "$folder/orvo.exe"
rm -f "$WINEPREFIX"/drive_c/orvo-desktop-*.bmp
# A program folder the user cannot write, as C:\Program Files is: its settings file holds the
# defaults and cannot be changed or deleted (immutable: Wine runs as root here, for whom the
# read-only attribute is no bar). Where the file system cannot do that, the folder stays writable.
/usr/bin/python3 - "$folder/orvo.dat" << 'EOF'
import struct, sys
image = bytearray(652)
for offset, value in ((0, 270), (68, 1), (72, 1), (76, 1), (84, 2), (616, 1), (620, 1), (628, 120)):
    struct.pack_into("<i", image, offset, value)
open(sys.argv[1], "wb").write(image)
EOF
immutable=0
chattr +i "$folder/orvo.dat" 2> /dev/null && immutable=1

timeout 180 wine "$checker" 'C:\Orvo Desk\orvo.exe' 'C:\orvo-desktop'
status=$?
# The same meter on a dark taskbar: Wine's shell paints its taskbar with the menu colour, read
# when the shell starts, so the shell starts anew with that colour dark for this start alone.
wineserver -k > /dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Control Panel\Colors' /v Menu /d '40 44 52' /f > /dev/null 2>&1
wineserver -w
timeout 120 wine "$checker" --dark-taskbar 'C:\Orvo Desk\orvo.exe' 'C:\orvo-desktop'
[ $? -eq 0 ] || status=1
wineserver -k > /dev/null 2>&1
wineserver -w
wine reg delete 'HKCU\Control Panel\Colors' /v Menu /f > /dev/null 2>&1
wineserver -w
# The meter at 120, 144 and 192 DPI: Wine reads the DPI (HKCU\Control Panel\Desktop, LogPixels)
# when its server starts, so each DPI has a start of its own; at 144 DPI a picture of the corner.
rm -f "$WINEPREFIX/drive_c/orvo-desktop-144dpi.bmp"
for dpi in 120 144 192; do
  wineserver -k > /dev/null 2>&1
  wineserver -w
  # The value must be in the prefix's files before the checker's server starts and reads it. A
  # server that has just written it has been seen to leave it unwritten at its end now and then
  # (the checker then runs at the last DPI and fails), so it is read back from the files by a
  # server of its own, and written again while it is not there, three times at most.
  for _ in 1 2 3; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f > /dev/null 2>&1
    wineserver -w
    stored=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2> /dev/null | tr -d '\r' |
      sed -n 's/.*REG_DWORD[[:space:]]*0x\([0-9a-fA-F]*\).*/\1/p')
    wineserver -w
    [ -n "$stored" ] && [ $((16#$stored)) -eq "$dpi" ] && break
    echo "desktop check: LogPixels $dpi was not in the prefix's files yet; written again"
  done
  picture=""
  [ "$dpi" -eq 144 ] && picture='C:\orvo-desktop-144dpi.bmp'
  timeout 60 wine "$checker" --dpi "$dpi" 'C:\Orvo Desk\orvo.exe' $picture
  [ $? -eq 0 ] || status=1
done
wineserver -k > /dev/null 2>&1
wineserver -w
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f > /dev/null 2>&1
wineserver -w
[ "$immutable" -eq 1 ] && chattr -i "$folder/orvo.dat"
for picture in meter menu meter-dark 144dpi settings programs about; do
  bmp="$WINEPREFIX/drive_c/orvo-desktop-$picture.bmp"
  [ -f "$bmp" ] || continue
  /usr/bin/python3 - "$bmp" "$work/desktop-$picture.png" << 'EOF' 2> /dev/null || cp "$bmp" "$work/desktop-$picture.bmp"
import sys
from PIL import Image
image = Image.open(sys.argv[1])
image.resize((image.width * 2, image.height * 2), Image.NEAREST).save(sys.argv[2])
EOF
done
echo "desktop check: $( [ "$status" -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - started )) s"
exit "$status"
