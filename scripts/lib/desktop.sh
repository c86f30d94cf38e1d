# Shell functions for a private X desktop: Xvfb with a window manager (openbox, or xfwm4 with
# KESTLES_TEST_WM=xfwm4) and a temporary folder, all of it ended and removed when the shell
# exits, however it exits. The one desktop starter of scripts/run.sh, scripts/screenshots.sh
# and the X11 benchmarks. POSIX sh: source it, then call desktop_begin before anything else.
#
# KESTLES_DESKTOP_WAIT: the seconds the server, the window manager and each client may take to
# come up (30 by default: on a loaded machine a window manager can take well over 10).

desktop_wait=${KESTLES_DESKTOP_WAIT:-30}
desktop_manager=${KESTLES_TEST_WM:-openbox}
desktop_folder=""
desktop_groups=""

# Sets the clean-up first, then makes the temporary folder ($desktop_folder): a failure at any
# later step leaves nothing behind.
desktop_begin() {
  trap desktop_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  desktop_folder=$(mktemp -d)
}

# Ends everything started through this file (each in a process group of its own, since a
# launcher such as dbus-run-session passes no signal on) and removes the folder.
desktop_end() {
  for desktop_group in $desktop_groups; do kill -s TERM -- "-$desktop_group" 2> /dev/null || true; done
  wait 2> /dev/null || true
  for desktop_group in $desktop_groups; do kill -s KILL -- "-$desktop_group" 2> /dev/null || true; done
  desktop_groups=""
  [ -z "$desktop_folder" ] || rm -rf "$desktop_folder"
  desktop_folder=""
}

# Runs a command in the background in a process group of its own, ended on exit.
desktop_run() {
  setsid "$@" &
  desktop_groups="$desktop_groups $!"
}

# Runs the check until it succeeds (every 50 ms); after $desktop_wait seconds says that WHAT
# didn't come up, and fails.
desktop_wait_for() {
  desktop_what=$1
  shift
  desktop_deadline=$(($(date +%s) + desktop_wait))
  until "$@" > /dev/null 2>&1; do
    if [ "$(date +%s)" -ge "$desktop_deadline" ]; then
      echo "$desktop_what didn’t come up within $desktop_wait seconds." >&2
      return 1
    fi
    sleep 0.05
  done
}

# Points the XDG folders (data, state, config, runtime) into the temporary folder, so that
# nothing of the user's is read or touched.
desktop_private_folders() {
  mkdir -p "$desktop_folder/run" && chmod 700 "$desktop_folder/run"
  XDG_RUNTIME_DIR=$desktop_folder/run XDG_DATA_HOME=$desktop_folder/data
  XDG_STATE_HOME=$desktop_folder/state XDG_CONFIG_HOME=$desktop_folder/config
  export XDG_RUNTIME_DIR XDG_DATA_HOME XDG_STATE_HOME XDG_CONFIG_HOME
}

# Starts Xvfb (WIDTHxHEIGHT, 1920x1080 by default) on a free display and the window manager
# with settings of its own, waits for both and sets DISPLAY. With a test client program as the
# second argument, also waits until the manager takes windows (openbox names itself a moment
# before it does, and a window mapped in between stays unmanaged).
desktop_start() {
  desktop_run Xvfb -screen 0 "${1:-1920x1080}x24" -noreset -nolisten tcp -displayfd 1 \
    > "$desktop_folder/display" 2> /dev/null
  desktop_wait_for "The X server" test -s "$desktop_folder/display" || return 1
  DISPLAY=":$(cat "$desktop_folder/display")"
  export DISPLAY
  mkdir -p "$desktop_folder/manager"
  case $desktop_manager in
    openbox)
      desktop_run env XDG_CONFIG_HOME="$desktop_folder/manager" openbox --sm-disable \
        > /dev/null 2>&1
      ;;
    xfwm4)
      # xfwm4 keeps its settings behind a session bus and gives up without one.
      desktop_run env XDG_CONFIG_HOME="$desktop_folder/manager" NO_AT_BRIDGE=1 \
        dbus-run-session -- xfwm4 --compositor=off --sm-client-disable > /dev/null 2>&1
      ;;
    fluxbox | icewm)
      # Only the benchmarks use these, to compare with other EWMH managers.
      desktop_run env HOME="$desktop_folder/manager" "$desktop_manager" > /dev/null 2>&1
      ;;
    *)
      echo "KESTLES_TEST_WM names $desktop_manager, not openbox, xfwm4, fluxbox or icewm." >&2
      return 1
      ;;
  esac
  desktop_wait_for "$desktop_manager" wmctrl -m || return 1
  [ -z "${2:-}" ] || desktop_wait_for "A window that $desktop_manager manages" \
    sh -c "\"$2\" < /dev/null > /dev/null 2>&1"
}

# Opens an xterm per title given (running `sleep 600`) and waits for each window.
desktop_open_xterms() {
  desktop_x=40
  for desktop_title in "$@"; do
    desktop_run xterm -T "$desktop_title" -geometry "70x18+$desktop_x+$((desktop_x + 20))" \
      -e sleep 600 > /dev/null 2>&1
    desktop_x=$((desktop_x + 90))
    desktop_wait_for "The xterm “$desktop_title”" desktop_window_exists "$desktop_title" ||
      return 1
  done
}

desktop_window_exists() {
  wmctrl -l | grep -q " $1\$"
}

# Opens COUNT windows of the test client PROGRAM, held open through descriptor 3 (close it to
# end them); their ids go to "$desktop_folder/ids".
desktop_open_test_windows() {
  mkfifo "$desktop_folder/hold"
  # The client opens the pipe itself: opening it here would wait for the writer below.
  desktop_run sh -c 'exec "$0" --count "$1" --size 300x200 < "$2" > "$3"' "$1" "$2" \
    "$desktop_folder/hold" "$desktop_folder/ids"
  exec 3> "$desktop_folder/hold"
  desktop_wait_for "$2 test windows" sh -c "[ \$(wc -l < \"$desktop_folder/ids\") -ge $2 ]"
}

# The windows as "title x,y w×h", one a line, sorted by title. (wmctrl counts the frame twice
# in the position: good enough to show what moved, not to measure it.)
desktop_window_frames() {
  wmctrl -lG | awk '{ title = ""; for (i = 8; i <= NF; i++) title = title (i > 8 ? " " : "") $i;
                      printf "%s  %d,%d %d×%d\n", title, $3, $4, $5, $6 }' | sort
}
