#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Kestles and shows it arranging real windows: on a
# private X server with openbox and three xterms, or with --here on the X session you are in.
# Runs `kestles tile`, `kestles snap left-half` and `kestles undo` and prints what moved.
# With any other arguments it runs `kestles` with them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

here=""
if [ "${1:-}" = "--here" ]; then
  here=--here
  shift
fi

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTLES_TESTS=OFF -DKESTLES_BENCH=OFF \
  -DKESTLES_STATIC_TOOL=ON >/dev/null
ninja -C build kestles kestles-app >/dev/null
bin=$PWD/build/bin
if [ $# -gt 0 ]; then exec "$bin/kestles" "$@"; fi

source scripts/lib/desktop.sh
desktop_begin
desktop_private_folders
if [ -z "$here" ]; then
  unset DISPLAY
  desktop_start 1280x800
  desktop_open_xterms "Kestles one" "Kestles two" "Kestles three"
fi

desktop_run "$bin/kestles-app" 2>"$desktop_folder/app.log"
desktop_wait_for "kestles-app" test -S "$XDG_RUNTIME_DIR/kestles/app.sock"

# Prints the windows whose frames changed since the last look.
before=$(desktop_window_frames)
show_moves() {
  local after
  after=$(desktop_window_frames)
  echo "== kestles $*"
  diff <(echo "$before") <(echo "$after") | sed -n 's/^> /   now /p; s/^< /   was /p' || true
  before=$after
}
for command in "tile" "snap left-half" "undo"; do
  # shellcheck disable=SC2086
  # A command that did nothing says why and exits 1; the demo goes on to the next one.
  "$bin/kestles" $command || true
  show_moves $command
done
echo "== the app's log"
cat "$desktop_folder/app.log"
