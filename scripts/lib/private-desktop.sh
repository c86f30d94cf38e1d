# Shell functions for a private X desktop: Xvfb with openbox and a few xterms, and private
# data, state, config and runtime folders so that nothing of the user's is touched. Source it.

# Starts everything; sets DISPLAY and the XDG folders, and `desktop_folder`.
start_private_desktop() {
  desktop_folder=$(mktemp -d)
  desktop_pids=()
  mkdir -p "$desktop_folder/run" && chmod 700 "$desktop_folder/run"
  export XDG_RUNTIME_DIR=$desktop_folder/run XDG_DATA_HOME=$desktop_folder/data \
    XDG_STATE_HOME=$desktop_folder/state XDG_CONFIG_HOME=$desktop_folder/config
  if [ "${1:-}" != "--here" ]; then
    local number=90
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    desktop_pids+=($!)
    export DISPLAY=":$number"
    wait_for "the X server" xset q
    openbox >/dev/null 2>&1 &
    desktop_pids+=($!)
    wait_for "openbox" wmctrl -m
  fi
}

# Opens xterms with the titles given and waits for their windows.
open_clients() {
  local x=40 title
  for title in "$@"; do
    xterm -T "$title" -geometry 70x18+$x+$((x + 20)) -e sleep 600 >/dev/null 2>&1 &
    desktop_pids+=($!)
    x=$((x + 90))
    wait_for "$title" window_exists "$title"
  done
}

window_exists() { wmctrl -l | grep -q " $1\$"; }

# Runs the check every 50 ms until it succeeds, for at most 10 seconds.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 200); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  echo "$what didn’t come up within 10 seconds." >&2
  return 1
}

# The windows as "title x,y w×h", one a line, sorted by title.
window_frames() {
  wmctrl -lG | awk '{ title = ""; for (i = 8; i <= NF; i++) title = title (i > 8 ? " " : "") $i;
                      printf "%s  %d,%d %d×%d\n", title, $3, $4, $5, $6 }' | sort
}

stop_private_desktop() {
  local pid
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$desktop_folder"
}
