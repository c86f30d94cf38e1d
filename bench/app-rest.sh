#!/bin/sh
# The running app at rest on a private Xvfb with openbox (xfwm4 with KESTLES_TEST_WM=xfwm4) and
# 20 test windows: the CPU time it spends and how often its threads wake while nothing happens.
# At rest it should wake only for events, so both stay at (or next to) zero whatever the length.
# Usage: bench/app-rest.sh [BUILD_DIR] [SECONDS]; SECONDS is 60 by default (a shorter one for a
# quick look). Needs kestles-app and kestles_test_window built in BUILD_DIR.
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
client="$build/bin/kestles_test_window"
for program in Xvfb wmctrl "${KESTLES_TEST_WM:-openbox}" "$build/bin/kestles-app" "$client"; do
  command -v "$program" > /dev/null || { echo "app-rest: $program is missing" >&2; exit 1; }
done
. "$(dirname "$0")/../scripts/lib/desktop.sh"
desktop_begin
desktop_start 1920x1080 "$client"
desktop_open_test_windows "$client" 20

desktop_private_folders
DBUS_SESSION_BUS_ADDRESS="unix:path=$desktop_folder/no-bus" KESTLES_PLATFORM=x11
export DBUS_SESSION_BUS_ADDRESS KESTLES_PLATFORM
desktop_run "$build/bin/kestles-app" 2> "$desktop_folder/app.log"
app=${desktop_groups##* }
desktop_wait_for "kestles-app" test -S "$XDG_RUNTIME_DIR/kestles/app.sock" || exit 1
[ "$(cat "/proc/$app/comm")" = kestles-app ] || { echo "app-rest: pid $app isn’t the app" >&2; exit 1; }
# What the app does once on starting (reading the desktop, the library, the keys) is over.
sleep 2

# Clock ticks of user and system time of every thread (fields 14 and 15; the name in field 2
# has no blanks here).
ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
# Every time one of the app's threads was switched out: its wake-ups and preemptions.
switches() {
  cat /proc/"$app"/task/*/status |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { total += $2 } END { print total }'
}
threads() { ls "/proc/$app/task" | wc -l; }

ticks_before=$(ticks)
switches_before=$(switches)
sleep "$seconds"
ticks_after=$(ticks)
switches_after=$(switches)
hertz=$(getconf CLK_TCK)
awk -v t="$((ticks_after - ticks_before))" -v hz="$hertz" -v s="$seconds" \
  -v w="$((switches_after - switches_before))" -v n="$(threads)" 'BEGIN {
  printf "kestles-app at rest, 20 windows, %d s, %d threads: CPU %.2f s (%.2f %%), %d wake-ups (%.2f/s)\n",
         s, n, t / hz, 100 * t / hz / s, w, w / s
}'
exec 3>&-
