#!/bin/sh
# The running app end to end on a private Xvfb with openbox (xfwm4 with KESTLES_TEST_WM=xfwm4)
# and 10 windows, 5 of the test client (no size increments) and 5 xterms (cells): a tile and a
# snap from the tool's start until every window landed (against wmctrl calls and one client
# sending every request at once), a link's round trip, a burst of 1,000 links from 20 clients, and keep tiled
# taking in a new window. Usage: bench/app-x11.sh [BUILD_DIR]; needs kestles, kestles-app,
# app_bench and kestles_test_window built there. KESTLES_BENCH_LOG=1 prints the app's log after.
set -eu
build=$(cd "${1:-build}" && pwd)
client="$build/bin/kestles_test_window"
for program in Xvfb wmctrl xterm "${KESTLES_TEST_WM:-openbox}" "$build/bin/app_bench" "$build/bin/kestles" "$build/bin/kestles-app" \
  "$client"; do
  command -v "$program" > /dev/null || { echo "app-x11: $program is missing" >&2; exit 1; }
done
. "$(dirname "$0")/../scripts/lib/desktop.sh"
desktop_begin
desktop_start 1920x1080 "$client"
desktop_open_test_windows "$client" 5
desktop_open_xterms one two three four five

# Nothing of the user's is touched: the app's folders are private.
desktop_private_folders
DBUS_SESSION_BUS_ADDRESS="unix:path=$desktop_folder/no-bus" KESTLES_PLATFORM=x11
export DBUS_SESSION_BUS_ADDRESS KESTLES_PLATFORM
desktop_run "$build/bin/kestles-app" 2> "$desktop_folder/app.log"
desktop_wait_for "kestles-app" test -S "$XDG_RUNTIME_DIR/kestles/app.sock" || exit 1

"$build/bin/app_bench" "$build/bin/kestles" "$client" "$desktop_folder/ids" || true
[ -z "${KESTLES_BENCH_LOG:-}" ] ||
  grep -v "kestles://open\|settings window" "$desktop_folder/app.log" | head -40
exec 3>&-
