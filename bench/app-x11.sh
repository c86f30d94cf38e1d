#!/bin/sh
# The running app end to end on a private Xvfb with openbox and 10 test windows: a tile from
# the tool's start until every window landed (against 10 wmctrl calls), a link's round trip, a
# burst of 1,000 links from 20 clients, and keep tiled taking in a new window.
# Usage: bench/app-x11.sh [BUILD_DIR]; needs kestles, kestles-app, app_bench and
# kestles_test_window built there.
set -eu
build=$(cd "${1:-build}" && pwd)
client="$build/bin/kestles_test_window"
for program in Xvfb openbox wmctrl "$build/bin/app_bench" "$build/bin/kestles" "$build/bin/kestles-app" "$client"; do
  command -v "$program" > /dev/null || { echo "app-x11: $program is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

wait_for() {
  limit=$(($1 * 100)); shift
  while ! "$@" 2> /dev/null; do
    limit=$((limit - 1))
    [ "$limit" -gt 0 ] || return 1
    sleep 0.01
  done
}

# Nothing of the user's is touched: the app's folders are private.
mkdir -p "$work/run" && chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
  XDG_CONFIG_HOME="$work/config" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" KESTLES_PLATFORM=x11

number=90
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1920x1080x24 -noreset -nolisten tcp -displayfd 1 > "$work/display" 2> /dev/null &
pids="$pids $!"
wait_for 10 test -s "$work/display" || { echo "app-x11: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
openbox --sm-disable > /dev/null 2>&1 &
pids="$pids $!"
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
wait_for 10 sh -c "\"$client\" < /dev/null > /dev/null 2>&1"

mkfifo "$work/hold"
"$client" --count 10 --size 300x200 < "$work/hold" > "$work/ids" &
pids="$pids $!"
exec 3> "$work/hold"
wait_for 30 sh -c "[ \$(wc -l < \"$work/ids\") -ge 10 ]" || { echo "app-x11: windows did not open" >&2; exit 1; }

"$build/bin/kestles-app" 2> "$work/app.log" &
pids="$pids $!"
wait_for 10 test -S "$work/run/kestles/app.sock" || { echo "app-x11: the app did not start" >&2; exit 1; }

"$build/bin/app_bench" "$build/bin/kestles" "$client" "$work/ids" || true
[ -z "${KESTLES_BENCH_LOG:-}" ] || grep -v "kestles://open\|settings window" "$work/app.log" | head -40
exec 3>&-
