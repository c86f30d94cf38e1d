#!/bin/sh
# The running app end to end on a private Xvfb with openbox and 10 test windows: a tile from
# the tool's start until every window landed (against 10 wmctrl calls), a link's round trip, a
# burst of 1,000 links from 20 clients, and keep tiled taking in a new window.
# Usage: bench/app-x11.sh [BUILD_DIR]; needs kestles, kestles-app, app_bench and
# kestles_test_window built there. KESTLES_BENCH_LOG=1 prints the app's log after.
set -eu
build=$(cd "${1:-build}" && pwd)
client="$build/bin/kestles_test_window"
bench_name=app-x11
. "$(dirname "$0")/lib/test-desktop.sh"
require Xvfb openbox wmctrl "$build/bin/app_bench" "$build/bin/kestles" "$build/bin/kestles-app" "$client"

# Nothing of the user's is touched: the app's folders are private.
mkdir -p "$work/run" && chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
  XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" KESTLES_PLATFORM=x11

start_test_desktop "$client"
open_test_windows "$client" 10

"$build/bin/kestles-app" 2> "$work/app.log" &
pids="$pids $!"
wait_for 10 test -S "$work/run/kestles/app.sock" || fail "the app did not start"

"$build/bin/app_bench" "$build/bin/kestles" "$client" "$work/ids" || true
[ -z "${KESTLES_BENCH_LOG:-}" ] || grep -v "kestles://open\|settings window" "$work/app.log" | head -40
exec 3>&-
