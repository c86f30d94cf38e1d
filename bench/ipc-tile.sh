#!/usr/bin/env bash
# `kestles tile` on headless sway with 10 foot windows, from the tool's start until it exits
# (the app answers once the compositor's tree shows where every window landed), beside the
# same frames set by one swaymsg call per window that moved. Every run starts from the windows
# as sway tiles them. Usage: bench/ipc-tile.sh [BUILD_DIR] (a folder with bin/kestles and
# bin/kestles-app, or the bin folder itself); medians of KESTLES_BENCH_RUNS runs (9).
# KESTLES_BENCH_LOG=1 prints what the app logged of the commands after.
set -euo pipefail
kind=sway
dir=${1:-build/release}
bin=$dir/bin
[ -x "$bin/kestles" ] || bin=$dir
. "$(dirname "$(realpath "$0")")/../scripts/lib/compositor.sh"
compositor_needs "$bin/kestles" "$bin/kestles-app"
compositor_begin "$0" "" "$bin/kestles" "$bin/kestles-app"
compositor_start
runs=${KESTLES_BENCH_RUNS:-9}
for _ in $(seq 10); do client; done
await "the clients did not open their windows" count 10
"$bin/kestles-app" >>"$home/app.log" 2>&1 &
pids+=($!)
await "the app did not start" test -S "$XDG_RUNTIME_DIR/kestles/app.sock"

# Milliseconds between two $EPOCHREALTIME readings (no process is started to read the clock).
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Every window back in sway's tiling, and the tree settled.
reset() {
  swaymsg '[app_id="foot"] floating disable' >/dev/null
  sleep 0.3
}

tool=() swaymsg_times=() moved=0
for _ in $(seq "$runs"); do
  reset
  before=$(frames)
  start=$EPOCHREALTIME
  "$bin/kestles" --quiet tile || true
  end=$EPOCHREALTIME
  tool+=("$(elapsed "$start" "$end")")
  after=$(frames)
  changed=$(comm -13 <(sort <<<"$before") <(sort <<<"$after"))
  [ -n "$changed" ] || continue
  moved=$((moved + 1))
  reset
  start=$EPOCHREALTIME
  while read -r id x y width height _; do
    swaymsg "[con_id=$id] floating enable, resize set $width $height, move absolute position $x $y" >/dev/null
  done <<<"$changed"
  end=$EPOCHREALTIME
  swaymsg_times+=("$(elapsed "$start" "$end")")
done
windows=$(wc -l <<<"$changed")
tool_median=$(printf '%s\n' "${tool[@]}" | median)
echo "kestles tile, tool start to exit: median $tool_median ms ($moved of $runs runs moved windows; $windows windows moved)"
if [ ${#swaymsg_times[@]} -gt 0 ]; then
  theirs=$(printf '%s\n' "${swaymsg_times[@]}" | median)
  echo "  the same frames by one swaymsg call per window: median $theirs ms ($(awk -v a="$theirs" -v b="$tool_median" 'BEGIN { printf "%.1f", a / b }')x the tool's time)"
fi
[ -z "${KESTLES_BENCH_LOG:-}" ] || grep "Applied\|Received" "$home/app.log" | head -20
