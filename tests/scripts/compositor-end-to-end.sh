#!/usr/bin/env bash
# End to end on a real compositor over its IPC: headless sway (two virtual outputs, foot
# clients) or i3 on Xvfb (xterm clients). The app tiles, snaps and undoes, and every frame is
# read back from the compositor's own tree, never from Kestles.
#
# compositor-end-to-end.sh sway|i3 BIN_DIR
# Exits 77 (skipped) when the compositor or its clients are not installed. sway refuses to run
# as root, so as root the script runs itself again as an unprivileged test user.
set -euo pipefail

kind=$1
bin=$(cd "$2" && pwd)
lib=$(dirname "$(realpath "$0")")/../../scripts/lib/compositor.sh
[ -f "$lib" ] || lib=$(dirname "$(realpath "$0")")/../scripts/lib/compositor.sh
. "$lib"
compositor_needs
compositor_begin "$0" "$kind" "$bin/kestles" "$bin/kestles-app"
compositor_start

kestles() {
  "$bin/kestles" "$@" 2>>"$home/tool.log" || fail "kestles $* failed: $(tail -n 1 "$home/tool.log")"
}

# Whether landed frames ("id x y width height" lines) are the planned ones: exactly on sway,
# where foot takes any size; on i3 xterm's size hints round its size down to whole character
# cells, by less than one cell, and Kestles then centres it in its frame.
slack=0
[ "$kind" = i3 ] && slack=20
fits() {
  [ "$(echo "$1" | wc -l)" -eq "$(echo "$2" | wc -l)" ] || return 1
  paste -d' ' <(echo "$1") <(echo "$2") | awk -v slack="$slack" '
    { if ($1 != $6 || $2 < $7 || $3 < $8 || $2 + $4 > $7 + $9 || $3 + $5 > $8 + $10 ||
          $4 < $9 - slack || $5 < $10 - slack) bad = 1 }
    END { exit bad }'
}

# No two frames overlap, and each lies on the first output (x within 0..1280).
apart() {
  frames | awk '{ x[NR]=$2; y[NR]=$3; w[NR]=$4; h[NR]=$5; f[NR]=$6 }
    END {
      for (i = 1; i <= NR; i++) {
        if (x[i] < 0 || x[i] + w[i] > 1280 || y[i] < 0 || y[i] + h[i] > 720) exit 1
        for (j = i + 1; j <= NR; j++)
          if (x[i] < x[j] + w[j] && x[j] < x[i] + w[i] && y[i] < y[j] + h[j] && y[j] < y[i] + h[i]) exit 1
      }
    }'
}

for _ in 1 2 3; do client; done
await "the clients did not open their windows" count 3
tiled=$(frames)
echo "$tiled" | grep -q floating && fail "the compositor floated a window on its own: $tiled"

"$bin/kestles-app" >"$home/app.log" 2>&1 &
app=$!
pids+=($app)
await "the app did not start" test -S "$XDG_RUNTIME_DIR/kestles/app.sock"

# Tile: the plan's frames are where the windows are, read back from the compositor.
planned=$("$bin/kestles-app" plan kestles://tile | jq -r '.frames | to_entries[] | "\(.key) \(.value[0][0]) \(.value[0][1]) \(.value[1][0]) \(.value[1][1])"' | sort)
[ -n "$planned" ] || fail "nothing to plan for tile"
kestles tile
landed=$(frames | awk '$6 == "floating" { print $1, $2, $3, $4, $5 }' | sort)
fits "$landed" "$planned" || fail "tile landed elsewhere than planned:
$landed
planned:
$planned"
apart || fail "tiled windows overlap: $(frames)"

# Undo: every window is back where the compositor's tiling had it, and tiled again.
kestles undo
[ "$(frames)" = "$tiled" ] || fail "undo did not put the tiling back:
$(frames)
expected:
$tiled"

# Snap the focused window to the left half, then undo it.
focused=$("$msg" -t get_tree | jq -r '.. | objects | select(.focused == true) | if .id > 4294967295 then .window else .id end')
planned=$("$bin/kestles-app" plan kestles://snap/left-half | jq -r --arg id "$focused" '.frames[$id] | "\(.[0][0]) \(.[0][1]) \(.[1][0]) \(.[1][1])"')
[ -n "$planned" ] && [ "$planned" != "null null null null" ] || fail "nothing to plan for the snap"
kestles snap left-half
landed=$(frames | awk -v id="$focused" '$1 == id && $6 == "floating" { print $1, $2, $3, $4, $5 }')
fits "$landed" "$focused $planned" || fail "the snapped window landed at $landed, planned $planned"
kestles undo
[ "$(frames)" = "$tiled" ] || fail "undo of the snap did not put the tiling back:
$(frames)
expected:
$tiled
snapped: $focused"

# The compositor going away stops the app (it cannot do anything more), with the sentence.
"$msg" exit >/dev/null 2>&1 || true
await "the app outlived the compositor" bash -c "! kill -0 $app"
wait "$app" && fail "the app exited with success when the compositor went away"
grep -q "The desktop went away" "$home/app.log" || fail "the app did not say why it stopped"
