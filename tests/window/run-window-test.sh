#!/usr/bin/env bash
# orvo-sim --window under Xvfb, driven with real X events: a click on the indicator opens the
# task menu, the S key's screenshot equals the one a scenario takes of the same screen, and a
# click on a menu item carries it out.
set -u
sim=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; [ -n "${simpid:-}" ] && kill $simpid 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
# In the sanitizer build the leak check is left to the scenarios: the display libraries that SDL2
# loads (the session bus, X11, the GL drivers it opens and closes) leave leaks of their own.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() { echo "window test: $*"; echo "--- log"; cat log.txt; echo "--- errors"; cat err.txt; exit 1; }

# The server takes a free display number itself and says which when it is ready (-displayfd):
# other tests and the Wine suite start theirs at the same time.
Xvfb -displayfd 3 -screen 0 640x800x24 -nolisten tcp 3> display.txt > /dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do [ -s display.txt ] && break; sleep 0.1; done
n=$(head -n 1 display.txt)
[ -n "$n" ] || { echo "window test: Xvfb did not start"; exit 1; }
export DISPLAY=":$n"

"$sim" --window --paused "$here/task_menu.scn" > log.txt 2> err.txt &
simpid=$!
window=$(timeout 30 xdotool search --sync --name '^orvo-sim$' | head -1)
[ -n "$window" ] || fail "no window appeared"

# Waits until the log holds a line (the simulator prints as it happens).
wait_for() { for _ in $(seq 400); do grep -qF -- "$1" log.txt && return 0; sleep 0.05; done; fail "no line \"$1\""; }
wait_for "tray-add 5302"

# The indicator is at x 120..136 of the taskbar; the window shows the screen twice as large.
xdotool mousemove --window "$window" 250 20 click 1
wait_for "menu-open 125 26 HHTaskBar"
xdotool windowfocus "$window" 2> /dev/null; xdotool key --window "$window" s
for _ in $(seq 400); do [ -s orvo-sim-1.png ] && break; sleep 0.05; done
[ -s orvo-sim-1.png ] || fail "the S key wrote no screenshot"
"$sim" "$here/task_menu_expected.scn" > /dev/null || fail "the expected screen's scenario failed"
cmp -s orvo-sim-1.png expected-menu.png || fail "the window's screenshot differs from the scenario's"

# The menu's first item, "Notes", is the one under y 26..44 of the screen: switch to it.
xdotool mousemove --window "$window" 270 70 click 1
wait_for "menu-choice 332"
wait_for "foreground \"Notes\""
xdotool key --window "$window" q
for _ in $(seq 100); do kill -0 $simpid 2> /dev/null || break; sleep 0.05; done
wait $simpid; status=$?
simpid=
[ "$status" -eq 0 ] || fail "orvo-sim --window ended with status $status"
echo "window test: menu opened, screenshot equal, item chosen"
