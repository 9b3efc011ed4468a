#!/usr/bin/env bash
# The end-to-end suite: the real program's test build under Wine, on an X server (Xvfb) with a
# 240 x 320 screen, with the stand-in Pocket PC shell.
#
# 1. Agreement: every scenario of tests/scenarios that a real system can run is run under Wine,
#    and its event lines and pixel dumps must equal the .expected file that the simulator's run
#    is checked against (line for line; the exit status too), after the platform-specific rules
#    of platform_rules.py. A scenario that uses a command of the simulated device alone is not
#    run here (see simulatorOnly below).
# 2. Wine's own scenarios (tests/e2e/scenarios): what only the real system can show, such as the
#    process's GDI and user objects over a long run.
# 3. The real orvo.exe on a Wine desktop with Wine's own notification area and no Pocket PC shell
#    (run-desktop-check.sh), when the whole suite runs.
# Before them, orvo-compat-check checks the desktop layer that the runner's stand-in device
# replaces (power, storage, icons, registry, display escape, shortcuts, the dialog helper).
#
# Usage: tests/e2e/run-wine-suite.sh [SCENARIO.scn ...]   (default: all)
#        tests/e2e/run-wine-suite.sh --pictures DIR SCENARIO.scn ...
#        (runs the scenarios in DIR for their screenshots, without comparing logs; the simulator's
#        taskbar style, `shell-style`, is left out: the stand-in shell paints its own)
#        tests/e2e/run-wine-suite.sh --logs DIR SCENARIO.scn ...
#        (runs the scenarios and keeps each one's log in DIR/NAME.log and the process's peak
#        memory in kilobytes in DIR/NAME.rss, without comparing: the benchmark's use)
# Needs: the Windows build with ORVO_BUILD_E2E (scripts/build-windows.sh does it), wine64, Xvfb.
set -uo pipefail
pictures=""
logs=""
if [ "${1:-}" = "--pictures" ]; then
  pictures=$(mkdir -p "$2" && cd "$2" && pwd)
  shift 2
elif [ "${1:-}" = "--logs" ]; then
  logs=$(mkdir -p "$2" && cd "$2" && pwd)
  shift 2
fi
cd "$(dirname "$0")/../.."
root=$PWD
runner=$root/build/win32/orvo-e2e.exe
[ -x "$runner" ] || { echo "wine suite: $runner is missing (scripts/build-windows.sh builds it)"; exit 1; }

work=$root/build/wine
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work"

# --- The X servers -----------------------------------------------------------------------------
# One Xvfb per screen size: 240 x 320 for most scenarios, and the size a scenario sets with a
# `screen W H` before anything else (a rotation while running stays the simulator's).
declare -A displays=()
servers=()
cleanup() {
  wineserver -k > /dev/null 2>&1
  for pid in "${servers[@]}"; do kill "$pid" > /dev/null 2>&1; wait "$pid" 2> /dev/null; done
}
trap cleanup EXIT
# The taskbar's band is the device's: 26 pixels, 52 on a screen wider or taller than 320.
display_for() {
  local size=$1 width=${1%x*} height=${1#*x} n band
  if [ -z "${displays[$size]:-}" ]; then
    # The server takes a free display number itself and says which when it is ready (-displayfd):
    # other runs on the machine start theirs at the same time.
    # -noreset: the root window's properties (the reserved band below) outlive the clients.
    rm -f "$work/xvfb-$size.display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3> "$work/xvfb-$size.display" \
      > "$work/xvfb-$size.log" 2>&1 &
    servers+=("$!")
    for _ in $(seq 300); do [ -s "$work/xvfb-$size.display" ] && break; sleep 0.1; done
    n=$(head -n 1 "$work/xvfb-$size.display")
    [ -n "$n" ] || { echo "wine suite: Xvfb did not start (see $work/xvfb-$size.log)"; exit 1; }
    band=26
    if [ "$width" -gt 320 ] || [ "$height" -gt 320 ]; then band=52; fi
    DISPLAY=":$n" python3 "$root/tests/e2e/reserve_taskbar_band.py" "$width" "$height" "$band" || exit 1
    displays[$size]=":$n"
  fi
  echo "${displays[$size]}"
}
display_for 240x320 > /dev/null
export DISPLAY=${displays[240x320]}

# --- A fresh Wine prefix ------------------------------------------------------------------------
started=$(date +%s)
rm -rf "$WINEPREFIX"
wineboot -i > "$work/wineboot.log" 2>&1
# Windows unmanaged by a window manager (there is none): Wine does not wait for one to map them.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
# A removable drive (R:) with a medium in it, which the desktop layer lists as a storage card.
mkdir -p "$work/removable"
ln -sfn "$work/removable" "$WINEPREFIX/dosdevices/r:"
wine reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d floppy /f > /dev/null 2>&1
wineserver -w
echo "wine suite: fresh prefix in $(( $(date +%s) - started )) s"

# --- The desktop layer's own checks -------------------------------------------------------------
if [ -z "$pictures$logs" ] && ! wine "$root/build/win32/orvo-compat-check.exe"; then
  echo "wine suite: the desktop layer's checks failed"
  exit 1
fi

# --- Running scenarios --------------------------------------------------------------------------
# Commands of the simulated device alone: injected faults, screen rotation (the X server's screen
# has one size), the simulator's object counters and its traffic counter.
commands() { sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$1"; }
simulatorOnly() {
  # The scenario language's mistakes and reports: the simulator's front end alone.
  case "$1" in */tests/scenarios/language/*) return 0 ;; esac
  commands "$1" | grep -qE '^[[:space:]]*(fail|traffic|calls)([[:space:]]|$)|^[[:space:]]*expect[[:space:]]+(gdi-objects|icons|device-contexts|exit-leftovers)([[:space:]]|$)' ||
    commands "$1" | tail -n +2 | grep -qE '^[[:space:]]*screen([[:space:]]|$)'
}
# The screen a scenario starts on: WxH.
screenOf() {
  commands "$1" | head -n 1 | sed -n 's/^[[:space:]]*screen[[:space:]]\+\([0-9]\+\)[[:space:]]\+\([0-9]\+\)[[:space:]]*$/\1x\2/p'
}

drive=$work/device
passed=0
failed=0
skipped=0
failures=()
run_one() {
  local scn=$1 expected=${1%.scn}.expected name want status actual began ms size
  name=${scn#"$root"/tests/}
  want=$(sed -n '1s/^# exit \([0-9]\+\).*/\1/p' "$scn")
  want=${want:-0}
  rm -rf "$drive"
  mkdir -p "$drive"
  ln -sfn "$drive" "$WINEPREFIX/dosdevices/p:"
  rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Temp/orvo-e2e-*.dll 2> /dev/null
  actual=$work/actual.log
  size=$(screenOf "$scn")
  size=${size:-240x320}
  # Not in a subshell: the server it may start must be remembered, and ended with the others.
  display_for "$size" > /dev/null
  if [ "${displays[$size]}" != "$DISPLAY" ]; then
    # Wine's processes keep the screen they started on: a new size needs a new server of Wine's.
    wineserver -k > /dev/null 2>&1
    wineserver -w
    export DISPLAY=${displays[$size]}
  fi
  began=$(date +%s%N)
  if [ -n "$pictures" ]; then
    grep -v '^[[:space:]]*shell-style' "$scn" > "$work/picture.scn"
    (cd "$pictures" && timeout 300 wine "$runner" "$work/picture.scn" > "$actual" 2> "$work/actual.err")
    status=$?
    if [ "$status" -eq 0 ]; then printf '  ok    pictures of %s\n' "$name"; passed=$((passed + 1)); else
      printf '  FAIL  pictures of %s (exit %d)\n' "$name" "$status"; sed 's/^/        /' "$work/actual.err"
      failed=$((failed + 1)); failures+=("$name"); fi
    return
  fi
  if [ -n "$logs" ]; then
    local base
    base=$(basename "$scn" .scn)
    /usr/bin/time -f %M -o "$logs/$base.rss" timeout 300 wine "$runner" "$scn" > "$logs/$base.log" 2> "$work/actual.err"
    status=$?
    if [ "$status" -eq "$want" ]; then printf '  ok    log of %s\n' "$name"; passed=$((passed + 1)); else
      printf '  FAIL  log of %s (exit %d)\n' "$name" "$status"; sed 's/^/        /' "$work/actual.err"
      failed=$((failed + 1)); failures+=("$name"); fi
    return
  fi
  timeout 300 wine "$runner" "$scn" > "$actual" 2> "$work/actual.err"
  status=$?
  ms=$(( ($(date +%s%N) - began) / 1000000 ))
  python3 "$root/tests/e2e/platform_rules.py" "$expected" > "$work/expected.ruled"
  python3 "$root/tests/e2e/platform_rules.py" "$actual" > "$work/actual.ruled"
  if [ "$status" -eq "$want" ] && diff -q "$work/expected.ruled" "$work/actual.ruled" > /dev/null; then
    printf '  ok    %6d ms  %s\n' "$ms" "$name"
    passed=$((passed + 1))
  else
    printf '  FAIL  %6d ms  %s (exit %d, expected %d)\n' "$ms" "$name" "$status" "$want"
    sed 's/^/        /' "$work/actual.err"
    diff -u "$work/expected.ruled" "$work/actual.ruled" | head -40 | sed 's/^/        /'
    failed=$((failed + 1))
    failures+=("$name")
  fi
}

if [ "$#" -gt 0 ]; then
  scenarios=("$@")
else
  scenarios=("$root"/tests/scenarios/*/*.scn "$root"/tests/e2e/scenarios/*.scn)
fi
echo "wine suite: agreement with the simulator's expected logs, and Wine's own scenarios"
for scn in "${scenarios[@]}"; do
  scn=$(cd "$(dirname "$scn")" && pwd)/$(basename "$scn")
  if simulatorOnly "$scn"; then
    skipped=$((skipped + 1))
    continue
  fi
  run_one "$scn"
done
echo "wine suite: $passed passed, $failed failed, $skipped for the simulator alone, in $(( $(date +%s) - started )) s"

# --- The real orvo.exe on a Wine desktop without the Pocket PC shell ---------------------------
# Last, in the same prefix (it changes the prefix's desktop), when the whole suite runs.
if [ "$#" -eq 0 ]; then
  if ! tests/e2e/run-desktop-check.sh --prefix "$WINEPREFIX"; then
    failed=$((failed + 1))
    failures+=("the desktop check (tests/e2e/run-desktop-check.sh)")
  fi
fi
[ "$failed" -eq 0 ] || { printf 'wine suite: failed: %s\n' "${failures[@]}"; exit 1; }
