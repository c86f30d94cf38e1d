# Bash functions for a private sway (headless, two virtual 1280x720 outputs, foot clients) or
# i3 (on Xvfb, xterm clients) session, as an unprivileged user: sway refuses to run as root.
# The one compositor starter of the end-to-end tests and the IPC benchmarks. Source it with the
# compositor's name in $kind, then call compositor_begin "$0" "$@" first: as root it runs the
# script again as the test user; then compositor_start. Everything is ended and removed when
# the shell exits.
#
# KESTLES_DESKTOP_WAIT: the seconds the compositor and each client may take to come up (30).
# compositor_config: lines added to the compositor's config (set before compositor_start).

compositor_user=kestles-test
compositor_wait=${KESTLES_DESKTOP_WAIT:-30}
compositor_config=${compositor_config:-}
pids=()

# The programs the session needs; exits 77 (skipped) when one is missing.
compositor_needs() {
  local needs
  case $kind in
    sway) needs=(sway swaymsg foot jq) ;;
    i3) needs=(i3 i3-msg Xvfb xdpyinfo xterm jq) ;;
    *) echo "no such compositor: $kind" >&2; exit 2 ;;
  esac
  for program in "${needs[@]}" "$@"; do
    command -v "$program" >/dev/null || { echo "$program is not installed" >&2; exit 77; }
  done
}

# As root: copies the script, this file and the programs to a folder the test user can read
# (a checkout under /root is not), runs the copied script there as the test user (created when
# missing) with its first arguments and the copied programs' folder, and exits with it.
# Otherwise: makes the private home and runtime folders and sets the clean-up.
# compositor_begin SCRIPT "ARGUMENT..." PROGRAM...: the script's arguments come as one word.
compositor_begin() {
  local script=$1 arguments=$2
  shift 2
  if [ "$(id -u)" -eq 0 ]; then
    id "$compositor_user" >/dev/null 2>&1 ||
      useradd --system --no-create-home --shell /usr/sbin/nologin "$compositor_user"
    local stage status=0
    stage=$(mktemp -d /tmp/kestles-stage-XXXXXX)
    mkdir -p "$stage/scripts/lib" "$stage/run" "$stage/bin"
    cp "$(realpath "$script")" "$stage/run/"
    cp "${BASH_SOURCE[0]}" "$stage/scripts/lib/"
    cp "$@" "$stage/bin/"
    chmod -R a+rX "$stage"
    # shellcheck disable=SC2086
    runuser -u "$compositor_user" -- bash "$stage/run/$(basename "$script")" $arguments "$stage/bin" ||
      status=$?
    rm -rf "$stage"
    exit $status
  fi
  home=$(mktemp -d /tmp/kestles-compositor-XXXXXX)
  chmod 700 "$home"
  trap compositor_end EXIT
  export HOME=$home XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config \
    XDG_STATE_HOME=$home/state XDG_DATA_HOME=$home/data \
    DBUS_SESSION_BUS_ADDRESS=unix:path=$home/no-bus
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" && chmod 700 "$XDG_RUNTIME_DIR"
  unset WAYLAND_DISPLAY DISPLAY SWAYSOCK I3SOCK KESTLES_PLATFORM
}

compositor_end() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ $status -ne 0 ] && [ -f "$home/app.log" ]; then
    echo "--- the app's log" >&2
    tail -n 30 "$home/app.log" >&2
  fi
  rm -rf "$home"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits (bounded) until the command succeeds: for a compositor or a client to come up, which
# nothing announces to a process outside it.
await() {
  local what=$1
  shift
  for _ in $(seq $((compositor_wait * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "$what"
}

# Starts the compositor and sets $msg (its message tool) and SWAYSOCK or I3SOCK.
compositor_start() {
  if [ "$kind" = sway ]; then
    msg=swaymsg
    printf '%s\n' 'xwayland disable' 'default_border normal' \
      'output HEADLESS-1 resolution 1280x720 position 0 0' \
      'output HEADLESS-2 resolution 1280x720 position 1280 0' >"$home/compositor.conf"
    [ -z "$compositor_config" ] || printf '%s\n' "$compositor_config" >>"$home/compositor.conf"
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 \
      sway -c "$home/compositor.conf" >"$home/compositor.log" 2>&1 &
    pids+=($!)
    await "sway did not start" compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock"
    SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)
    export SWAYSOCK
    await "sway does not answer" swaymsg -t get_version
  else
    msg=i3-msg
    local display=:$((40 + RANDOM % 500))
    Xvfb "$display" -screen 0 1280x720x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
    pids+=($!)
    export DISPLAY=$display
    printf '%s\n' "ipc-socket $XDG_RUNTIME_DIR/i3.sock" 'font pango:monospace 8' \
      'default_border normal' >"$home/compositor.conf"
    [ -z "$compositor_config" ] || printf '%s\n' "$compositor_config" >>"$home/compositor.conf"
    await "Xvfb did not start" xdpyinfo
    i3 -c "$home/compositor.conf" >"$home/compositor.log" 2>&1 &
    pids+=($!)
    export I3SOCK=$XDG_RUNTIME_DIR/i3.sock
    await "i3 does not answer" i3-msg -t get_version
  fi
}

# Opens one client window (a terminal running sleep).
client() {
  if [ "$kind" = sway ]; then
    WAYLAND_DISPLAY=wayland-1 foot -e sleep 600 >/dev/null 2>&1 &
  else
    xterm -e sleep 600 >/dev/null 2>&1 &
  fi
  pids+=($!)
}

# Every client window as "id x y width height floating|tiled", title bars included, in the
# tree's order: sway leaves the title bar out of a view's rect, i3 floats a window inside a
# wrapper whose rect is the frame. The id is the window's number: the container id, or the X
# window id where container ids do not fit 32 bits (i3). Docks are left out.
frames() {
  "$msg" -t get_tree | jq -r '
    def clients($outer):
      if ((.window | type) == "number" or (.app_id | type) == "string") then
        ($outer // .rect) as $r
        | (if has("shell") then .deco_rect.height else 0 end) as $t
        | "\(if .id > 4294967295 then .window else .id end) \($r.x) \($r.y - $t) \($r.width) \($r.height + $t) \(if $outer != null or .type == "floating_con" then "floating" else "tiled" end)"
      elif .type == "dockarea" then empty
      else
        (if .type == "floating_con" then .rect else null end) as $o
        | ((.nodes // [])[], (.floating_nodes // [])[]) | clients($o)
      end;
    clients(null)'
}
count() { [ "$(frames | wc -l)" -eq "$1" ]; }
