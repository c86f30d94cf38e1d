# Shell functions for the X11 benchmarks: a private Xvfb with openbox and test windows held
# open, removed again on exit. Source it with `bench_name` set; POSIX sh.

fail() { echo "$bench_name: $*" >&2; exit 1; }

# Every program named must be there.
require() {
  for program in "$@"; do
    command -v "$program" > /dev/null || fail "$program is missing"
  done
}

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

# Starts Xvfb (1920x1080) and openbox with its own settings; sets DISPLAY. $1 is the test client.
start_test_desktop() {
  number=90
  while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 1920x1080x24 -noreset -nolisten tcp -displayfd 1 > "$work/display" 2> /dev/null &
  pids="$pids $!"
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$number"
  XDG_CONFIG_HOME="$work" openbox --sm-disable > /dev/null 2>&1 &
  pids="$pids $!"
  wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
  # openbox names itself before it takes windows: map probes until one is managed.
  wait_for 10 sh -c "\"$1\" < /dev/null > /dev/null 2>&1"
}

# Opens $2 windows of the test client $1, held open through descriptor 3 (close it to end
# them); their ids go to "$work/ids".
open_test_windows() {
  mkfifo "$work/hold"
  "$1" --count "$2" --size 300x200 < "$work/hold" > "$work/ids" &
  pids="$pids $!"
  exec 3> "$work/hold"
  wait_for 30 sh -c "[ \$(wc -l < \"$work/ids\") -ge $2 ]" || fail "windows did not open"
}
