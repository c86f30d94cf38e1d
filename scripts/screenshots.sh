#!/usr/bin/env bash
# Takes the README's screenshots: real xterms on a private Xvfb with openbox, tiled by Kestles
# in two styles. Needs a build in build/ (bash scripts/run.sh makes one), and xwd
# and ImageMagick's convert (installed here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xwd >/dev/null || apt-get install -y -qq --no-install-recommends x11-apps
command -v convert-im6.q16 >/dev/null || apt-get install -y -qq --no-install-recommends imagemagick
bin=$PWD/${KESTLES_BUILD:-build}/bin
out=docs/screenshots
mkdir -p "$out"

source scripts/lib/desktop.sh
desktop_begin
desktop_private_folders
unset DISPLAY
desktop_start 1280x800
xsetroot -solid '#3b4252'
desktop_open_xterms "Editor" "Terminal" "Notes" "Mail"
desktop_run "$bin/kestles-app" 2>"$desktop_folder/app.log"
desktop_wait_for "kestles-app" test -S "$XDG_RUNTIME_DIR/kestles/app.sock"

shoot() {
  sleep 0.8
  xwd -root -silent | convert-im6.q16 xwd:- "$out/$1.png"
  echo "$out/$1.png"
}
shoot before
"$bin/kestles" tile --style grid && shoot tiled-grid
"$bin/kestles" tile --style main-stack && shoot tiled-main-stack
