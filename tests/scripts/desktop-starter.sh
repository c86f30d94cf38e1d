#!/bin/sh
# Regression: the desktop starter set its clean-up only once the window manager was up, so a
# manager slow to start (or never starting) left Xvfb and the temporary folder behind. A fake
# openbox that never names itself stands in for it: after the short wait the starter must say
# what did not come up, in one sentence, and leave no process and no folder.
set -eu
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)/desktop.sh
fail() {
  echo "desktop-starter: $*" >&2
  exit 1
}
real_xvfb=$(command -v Xvfb) || {
  [ "${KESTLES_REQUIRE_XVFB:-}" != 1 ] || fail "Xvfb is missing, and KESTLES_REQUIRE_XVFB=1"
  exit 77
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/tmp"
# The real server, its pid noted; and a manager that never comes up.
cat > "$work/bin/Xvfb" << EOF
#!/bin/sh
echo \$\$ > "$work/server.pid"
exec "$real_xvfb" "\$@"
EOF
cat > "$work/bin/openbox" << EOF
#!/bin/sh
echo \$\$ > "$work/manager.pid"
exec sleep 600
EOF
chmod +x "$work/bin/Xvfb" "$work/bin/openbox"

status=0
PATH="$work/bin:$PATH" TMPDIR="$work/tmp" KESTLES_DESKTOP_WAIT=2 KESTLES_TEST_WM=openbox \
  sh -c 'set -e; . "$1"; desktop_begin; desktop_start 640x480; echo "it came up" >&2' \
  desktop "$lib" 2> "$work/errors" || status=$?

[ "$status" -eq 1 ] || fail "exit status $status, not 1"
[ "$(cat "$work/errors")" = "openbox didn’t come up within 2 seconds." ] ||
  fail "said: $(cat "$work/errors")"
for part in server manager; do
  [ -s "$work/$part.pid" ] || fail "the $part never started"
  if kill -0 "$(cat "$work/$part.pid")" 2> /dev/null; then fail "the $part was left running"; fi
done
[ -z "$(ls -A "$work/tmp")" ] || fail "left behind: $(ls "$work/tmp")"
echo "desktop starter ok"
