#!/usr/bin/env bash
# A dry run as a whole process: `kestles-app plan` for a tile command on a world file of 30
# windows, next to `kestles --version`. Usage: bench/plan.sh BIN_DIR [RUNS]
set -euo pipefail
bin=$(cd "${1:?usage: bench/plan.sh BIN_DIR [RUNS]}" && pwd)
runs=${2:-100}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run"
unset DISPLAY

# One wide display, ten apps, thirty windows in a cascade.
{
  echo '{"displays": [{"id": "WIDE", "name": "Studio", "frame": [[0, 0], [2560, 1440]],'
  echo '  "visibleFrame": [[0, 25], [2560, 1415]], "isMain": true}], "activeDisplayID": "WIDE",'
  echo '  "apps": ['
  for ((a = 0; a < 10; a++)); do
    printf '    {"pid": %d, "bundleID": "org.example.App%d", "name": "App %d"}%s\n' \
      $((100 + a)) $a $a "$([ $a -lt 9 ] && echo ,)"
  done
  echo '  ], "windows": ['
  for ((w = 0; w < 30; w++)); do
    printf '    {"id": %d, "pid": %d, "bundleID": "org.example.App%d", "frame": [[%d, %d], [900, 700]], "zIndex": %d}%s\n' \
      $((1000 + w)) $((100 + w % 10)) $((w % 10)) $((40 + w * 20)) $((60 + w * 10)) $w \
      "$([ $w -lt 29 ] && echo ,)"
  done
  echo '  ], "focusedWindow": 1000}'
} >"$home/world.json"
echo '{"version": 3}' >"$home/library.json"

mean_micros() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@" >/dev/null 2>&1 || true; done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000))
}

"$bin/kestles-app" plan --world "$home/world.json" --library "$home/library.json" \
  'kestles://tile?style=grid' >/dev/null
version=$(mean_micros "$bin/kestles" --version)
plan=$(mean_micros "$bin/kestles-app" plan --world "$home/world.json" \
  --library "$home/library.json" --state "$home/state.json" 'kestles://tile?style=grid')
ratio=$(awk -v a="$plan" -v b="$version" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
printf '%-40s %8s µs\n' "kestles --version" "$version"
printf '%-40s %8s µs  %s× the version\n' "kestles-app plan tile (30 windows)" "$plan" "$ratio"
