#!/bin/sh
# Runs the X11 benchmarks on a private Xvfb with openbox and 100 test windows, side by side
# with wmctrl. Usage: bench/x11-bench.sh [BUILD_DIR] [benchmark options...]
# Needs the x11_bench and kestles_test_window targets built in BUILD_DIR.
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
bench="$build/bin/x11_bench"
client="$build/bin/kestles_test_window"
for program in Xvfb openbox wmctrl "$bench" "$client"; do
  command -v "$program" > /dev/null || { echo "x11-bench: $program is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=""
cleanup() {
  for pid in $pids; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Polls a condition every 10 ms for at most $1 seconds.
wait_for() {
  limit=$(($1 * 100)); shift
  while ! "$@" 2> /dev/null; do
    limit=$((limit - 1))
    [ "$limit" -gt 0 ] || return 1
    sleep 0.01
  done
}

number=90
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1920x1080x24 -noreset -nolisten tcp -displayfd 1 > "$work/display" 2> /dev/null &
pids="$pids $!"
wait_for 10 test -s "$work/display" || { echo "x11-bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

XDG_CONFIG_HOME="$work" openbox --sm-disable > /dev/null 2>&1 &
pids="$pids $!"
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
# openbox names itself before it takes windows: map probes until one is managed.
wait_for 10 sh -c "\"$client\" < /dev/null > /dev/null 2>&1"

mkfifo "$work/hold"
"$client" --count 100 --size 300x200 < "$work/hold" > "$work/ids" &
pids="$pids $!"
exec 3> "$work/hold"
wait_for 30 sh -c "[ \$(wc -l < \"$work/ids\") -ge 100 ]" || { echo "x11-bench: windows did not open" >&2; exit 1; }

"$bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@"
exec 3>&-
