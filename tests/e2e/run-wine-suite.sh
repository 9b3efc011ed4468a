#!/usr/bin/env bash
# The end-to-end suite: the real program's test build under Wine, on an X server (Xvfb) with a
# 240 x 320 screen, with the stand-in Pocket PC shell.
#
# 1. Agreement: every scenario of tests/scenarios that a real system can run is run under Wine,
#    and its event lines and pixel dumps must match the .expected file that the simulator's run
#    is held to, by the same rule (tests/expected_log.py: its lines in order, optional lines,
#    `...`; the exit status too), after the platform-specific rules of platform_rules.py. A scenario that uses a command of the simulated device alone is not
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
#        tests/e2e/run-wine-suite.sh --make-prefix
#        (makes the fresh prefix alone, which needs no build: the test command makes it while the
#        Windows build runs, then runs the suite with --prefix-made, which takes that prefix)
# The checking run shares the scenarios among workers (ORVO_WINE_JOBS, default the number of
# processors), each with its own copy of the prefix, its own X servers and its own device drive:
# a run is mostly waiting for the X server and Wine's server, not computing. The desktop check
# runs beside them in a copy of its own. --pictures and --logs run one scenario at a time (the
# benchmark's figures must not share the processor).
# Needs: the Windows build with ORVO_BUILD_E2E (scripts/build-windows.sh does it), wine64, Xvfb.
set -uo pipefail
pictures=""
logs=""
makePrefix=1
prefixOnly=0
if [ "${1:-}" = "--make-prefix" ]; then
  prefixOnly=1
  shift
elif [ "${1:-}" = "--prefix-made" ]; then
  makePrefix=0
  shift
fi
if [ "${1:-}" = "--pictures" ]; then
  pictures=$(mkdir -p "$2" && cd "$2" && pwd)
  shift 2
elif [ "${1:-}" = "--logs" ]; then
  logs=$(mkdir -p "$2" && cd "$2" && pwd)
  shift 2
fi
cd "$(dirname "$0")/../.."
root=$PWD
# Debian's Python, which scripts/setup.sh installs: a python3 found first on the PATH may be a
# version manager's stand-in that takes most of a second to start, three times a scenario.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
runner=$root/build/win32/orvo-e2e.exe
[ "$prefixOnly" -eq 1 ] || [ -x "$runner" ] ||
  { echo "wine suite: $runner is missing (scripts/build-windows.sh builds it)"; exit 1; }

work=$root/build/wine
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work"

# --- The X servers -----------------------------------------------------------------------------
# One Xvfb per screen size and worker: 240 x 320 for most scenarios, and the size a scenario sets
# with a `screen W H` before anything else (a rotation while running stays the simulator's).
declare -A displays=()
servers=()
stopServers() {
  # Wine's server writes the registry out as it ends: it must be gone before the prefix is copied.
  wineserver -k > /dev/null 2>&1
  wineserver -w > /dev/null 2>&1
  for pid in "${servers[@]}"; do kill "$pid" > /dev/null 2>&1; wait "$pid" 2> /dev/null; done
  servers=()
  displays=()
}
trap stopServers EXIT
# The taskbar's band is the device's: 26 pixels, 52 on a screen wider or taller than 320.
# $xdir: the worker's folder, where the servers say which display they took.
display_for() {
  local size=$1 width=${1%x*} height=${1#*x} n band
  if [ -z "${displays[$size]:-}" ]; then
    # The server takes a free display number itself and says which when it is ready (-displayfd):
    # other runs on the machine start theirs at the same time.
    # -noreset: the root window's properties (the reserved band below) outlive the clients.
    rm -f "$xdir/xvfb-$size.display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3> "$xdir/xvfb-$size.display" \
      > "$xdir/xvfb-$size.log" 2>&1 &
    servers+=("$!")
    for _ in $(seq 300); do [ -s "$xdir/xvfb-$size.display" ] && break; sleep 0.1; done
    n=$(head -n 1 "$xdir/xvfb-$size.display")
    [ -n "$n" ] || { echo "wine suite: Xvfb did not start (see $xdir/xvfb-$size.log)"; exit 1; }
    band=26
    if [ "$width" -gt 320 ] || [ "$height" -gt 320 ]; then band=52; fi
    DISPLAY=":$n" "$python" "$root/tests/e2e/reserve_taskbar_band.py" "$width" "$height" "$band" || exit 1
    displays[$size]=":$n"
  fi
  echo "${displays[$size]}"
}
xdir=$work
display_for 240x320 > /dev/null
export DISPLAY=${displays[240x320]}

# --- A fresh Wine prefix ------------------------------------------------------------------------
# A marker says the prefix was made whole and not used yet: a prefix that a stopped run left
# half-made, or that an earlier suite ran in, is never taken for a fresh one.
makeFreshPrefix() {
  rm -f "$work/prefix.made"
  rm -rf "$WINEPREFIX"
  wineboot -i > "$work/wineboot.log" 2>&1 ||
    { echo "wine suite: wineboot failed (see $work/wineboot.log)"; exit 1; }
  # Windows unmanaged by a window manager (there is none): Wine does not wait for one to map them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
  # A removable drive (R:) with a medium in it, which the desktop layer lists as a storage card.
  mkdir -p "$work/removable"
  ln -sfn "$work/removable" "$WINEPREFIX/dosdevices/r:"
  wine reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d floppy /f > /dev/null 2>&1
  wineserver -w
  touch "$work/prefix.made"
}
started=$(date +%s)
if [ "$makePrefix" -eq 1 ]; then
  makeFreshPrefix
  echo "wine suite: fresh prefix in $(( $(date +%s) - started )) s"
  [ "$prefixOnly" -eq 0 ] || exit 0
elif [ ! -f "$work/prefix.made" ]; then
  echo "wine suite: no fresh prefix in $WINEPREFIX (tests/e2e/run-wine-suite.sh --make-prefix makes it)"
  exit 1
fi
rm -f "$work/prefix.made"

# --- The desktop layer's own checks -------------------------------------------------------------
if [ -z "$pictures$logs" ] && ! wine "$root/build/win32/orvo-compat-check.exe"; then
  echo "wine suite: the desktop layer's checks failed"
  exit 1
fi

# --- Running scenarios --------------------------------------------------------------------------
# Commands of the simulated device alone: injected faults, screen rotation (the X server's screen
# has one size), the small-icon size (Wine takes the DPI when its server starts), the
# simulator's object counters and its traffic counter.
commands() { sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$1"; }
simulatorOnly() {
  # The scenario language's mistakes and reports: the simulator's front end alone.
  case "$1" in */tests/scenarios/language/*) return 0 ;; esac
  commands "$1" | grep -qE '^[[:space:]]*(fail|traffic|calls|small-icon-size)([[:space:]]|$)|^[[:space:]]*expect[[:space:]]+(gdi-objects|icons|device-contexts|exit-leftovers|dialog-fits)([[:space:]]|$)' ||
    commands "$1" | tail -n +2 | grep -qE '^[[:space:]]*screen([[:space:]]|$)'
}
# The screen a scenario starts on: WxH.
screenOf() {
  commands "$1" | head -n 1 | sed -n 's/^[[:space:]]*screen[[:space:]]\+\([0-9]\+\)[[:space:]]\+\([0-9]\+\)[[:space:]]*$/\1x\2/p'
}

# Runs one scenario in the worker's prefix ($WINEPREFIX, folder $xdir) and prints one result line
# (and what failed); returns 1 when it failed.
run_one() {
  local scn=$1 expected=${1%.scn}.expected name want status began ms size
  local drive=$xdir/device actual=$xdir/actual.log errors=$xdir/actual.err
  name=${scn#"$root"/tests/}
  want=$(sed -n '1s/^# exit \([0-9]\+\).*/\1/p' "$scn")
  want=${want:-0}
  rm -rf "$drive"
  mkdir -p "$drive"
  ln -sfn "$drive" "$WINEPREFIX/dosdevices/p:"
  rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Temp/orvo-e2e-*.dll 2> /dev/null
  size=$(screenOf "$scn")
  size=${size:-240x320}
  # Not in a subshell: the server it may start must be remembered, and ended with the others.
  display_for "$size" > /dev/null
  if [ "${displays[$size]}" != "${DISPLAY:-}" ]; then
    # Wine's processes keep the screen they started on: a new size needs a new server of Wine's.
    wineserver -k > /dev/null 2>&1
    wineserver -w
    export DISPLAY=${displays[$size]}
    # One Wine server for all the scenarios on this display: started anew for each, with its
    # services, it would take most of a scenario's time.
    wineserver -p
  fi
  began=$(date +%s%N)
  if [ -n "$pictures" ]; then
    grep -v '^[[:space:]]*shell-style' "$scn" > "$xdir/picture.scn"
    (cd "$pictures" && timeout 300 wine "$runner" "$xdir/picture.scn" > "$actual" 2> "$errors")
    status=$?
    if [ "$status" -eq 0 ]; then printf '  ok    pictures of %s\n' "$name"; return 0; fi
    printf '  FAIL  pictures of %s (exit %d)\n' "$name" "$status"
    sed 's/^/        /' "$errors"
    return 1
  fi
  if [ -n "$logs" ]; then
    local base
    base=$(basename "$scn" .scn)
    /usr/bin/time -f %M -o "$logs/$base.rss" timeout 300 wine "$runner" "$scn" > "$logs/$base.log" 2> "$errors"
    status=$?
    if [ "$status" -eq "$want" ]; then printf '  ok    log of %s\n' "$name"; return 0; fi
    printf '  FAIL  log of %s (exit %d)\n' "$name" "$status"
    sed 's/^/        /' "$errors"
    return 1
  fi
  timeout 300 wine "$runner" "$scn" > "$actual" 2> "$errors"
  status=$?
  local retried=""
  if [ "$status" -ne "$want" ] && [ ! -s "$actual" ] && [ ! -s "$errors" ]; then
    # Not a line and not a message: Wine itself did not start the runner (its own messages are
    # off). Said so, and tried once more with Wine's error messages on.
    retried=" (Wine did not start the runner at first: run again)"
    wineserver -k > /dev/null 2>&1
    wineserver -w > /dev/null 2>&1
    WINEDEBUG=err+all timeout 300 wine "$runner" "$scn" > "$actual" 2> "$errors"
    status=$?
  fi
  ms=$(( ($(date +%s%N) - began) / 1000000 ))
  "$python" "$root/tests/e2e/platform_rules.py" "$expected" > "$xdir/expected.ruled"
  "$python" "$root/tests/e2e/platform_rules.py" "$actual" > "$xdir/actual.ruled"
  if [ "$status" -eq "$want" ] &&
    "$python" "$root/tests/expected_log.py" "$xdir/expected.ruled" "$xdir/actual.ruled" > "$xdir/match.out"; then
    printf '  ok    %6d ms  %s%s\n' "$ms" "$name" "$retried"
    return 0
  fi
  printf '  FAIL  %6d ms  %s (exit %d, expected %d)%s\n' "$ms" "$name" "$status" "$want" "$retried"
  sed 's/^/        /' "$errors"
  "$python" "$root/tests/expected_log.py" "$xdir/expected.ruled" "$xdir/actual.ruled" | head -40 | sed 's/^/        /'
  return 1
}

if [ "$#" -gt 0 ]; then
  given=("$@")
else
  given=("$root"/tests/scenarios/*/*.scn "$root"/tests/e2e/scenarios/*.scn)
fi
scenarios=()
skipped=0
for scn in "${given[@]}"; do
  scn=$(cd "$(dirname "$scn")" && pwd)/$(basename "$scn")
  if simulatorOnly "$scn"; then
    skipped=$((skipped + 1))
  else
    scenarios+=("$scn")
  fi
done
# The scenarios of one screen size run one after another: a new size means a new Wine server.
if [ "${#scenarios[@]}" -gt 0 ]; then
  mapfile -t scenarios < <(for scn in "${scenarios[@]}"; do
    size=$(screenOf "$scn")
    printf '%s\t%s\n' "${size:-240x320}" "$scn"
  done | sort -s -t $'\t' -k1,1 | cut -f2)
fi

jobs=${ORVO_WINE_JOBS:-$(nproc)}
[ -z "$pictures$logs" ] || jobs=1
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || jobs=1
[ "$jobs" -le 4 ] || jobs=4
[ "$jobs" -le "${#scenarios[@]}" ] || jobs=$(( ${#scenarios[@]} > 0 ? ${#scenarios[@]} : 1 ))

# The whole suite also runs the real orvo.exe on a Wine desktop without the Pocket PC shell, beside
# the scenarios, in a copy of the prefix of its own (it changes the prefix's desktop).
desktop=0
[ "$#" -eq 0 ] && [ -z "$pictures$logs" ] && desktop=1

# Workers take the next scenario from a shared counter; each result goes to a file of its number,
# printed in the scenarios' order as soon as it and those before it are there.
queue=$work/queue
rm -rf "$queue" "$work"/worker-*
mkdir -p "$queue"
echo 0 > "$queue/next"
takeNext() {
  local i
  i=$(flock "$queue/lock" bash -c 'read -r i < "$1/next"; echo $((i + 1)) > "$1/next"; echo "$i"' _ "$queue")
  echo "$i"
}
stopServers
worker() {
  local k=$1 i
  xdir=$work/worker-$k
  mkdir -p "$xdir"
  export WINEPREFIX=$xdir/prefix
  cp -a --reflink=auto "$work/prefix" "$WINEPREFIX"
  unset DISPLAY
  trap stopServers EXIT
  for (( ; ; )); do
    i=$(takeNext)
    [ "$i" -lt "${#scenarios[@]}" ] || break
    run_one "${scenarios[$i]}" > "$queue/$i.out" 2>&1
    echo $? > "$queue/$i.status"
  done
}
pids=()
for (( k = 0; k < jobs; k++ )); do
  worker "$k" &
  pids+=("$!")
done
desktopPid=""
if [ "$desktop" -eq 1 ]; then
  mkdir -p "$work/worker-desktop"
  cp -a --reflink=auto "$work/prefix" "$work/worker-desktop/prefix"
  tests/e2e/run-desktop-check.sh --prefix "$work/worker-desktop/prefix" > "$work/worker-desktop/out" 2>&1 &
  desktopPid=$!
fi
# The workers' copies of the prefix go with them (the first prefix stays, to look into).
ending() {
  for pid in "${pids[@]}" $desktopPid; do kill "$pid" > /dev/null 2>&1; done
  wait 2> /dev/null
  rm -rf "$work"/worker-*/prefix
}
trap ending EXIT

echo "wine suite: agreement with the simulator's expected logs, and Wine's own scenarios ($jobs at a time)"
passed=0
failed=0
failures=()
for i in "${!scenarios[@]}"; do
  while [ ! -s "$queue/$i.status" ]; do
    alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2> /dev/null && alive=1; done
    [ "$alive" -eq 1 ] || [ -s "$queue/$i.status" ] || break
    sleep 0.1
  done
  if [ -s "$queue/$i.status" ] && [ "$(cat "$queue/$i.status")" -eq 0 ]; then
    cat "$queue/$i.out"
    passed=$((passed + 1))
  else
    [ -s "$queue/$i.status" ] || echo "  FAIL  ${scenarios[$i]#"$root"/tests/} (its worker ended without running it)"
    cat "$queue/$i.out" 2> /dev/null
    failed=$((failed + 1))
    failures+=("${scenarios[$i]#"$root"/tests/}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid"; done
echo "wine suite: $passed passed, $failed failed, $skipped for the simulator alone, in $(( $(date +%s) - started )) s"

if [ -n "$desktopPid" ]; then
  wait "$desktopPid"
  desktopStatus=$?
  cat "$work/worker-desktop/out"
  if [ "$desktopStatus" -ne 0 ]; then
    failed=$((failed + 1))
    failures+=("the desktop check (tests/e2e/run-desktop-check.sh)")
  fi
fi
ending
trap - EXIT
[ "$failed" -eq 0 ] || { printf 'wine suite: failed: %s\n' "${failures[@]}"; exit 1; }
