#!/usr/bin/env bash
# Whole commands of the tool against a 5 MB library (2,000 kestles): `kestles list`,
# `kestles export`, and `kestles kestle X` (a library read, a check and a link delivered to a
# running app) next to `kestles --version`. Usage: bench/tool-library.sh BIN_DIR [RUNS]
set -euo pipefail
bin=$(cd "${1:?usage: bench/tool-library.sh BIN_DIR [RUNS]}" && pwd)
runs=${2:-30}

home=$(mktemp -d)
export XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/config"
export HOME="$home" KESTLES_PLATFORM=sim KESTLES_SIM_WORLD="$home/world.json"
unset DISPLAY
echo '{"displays": [], "apps": [], "windows": []}' >"$KESTLES_SIM_WORLD"
mkdir -p "$XDG_DATA_HOME/kestles"
"$bin/make_large_library" "$XDG_DATA_HOME/kestles/library.json"

"$bin/kestles-app" >/dev/null 2>&1 &
app=$!
cleanup() { kill "$app" 2>/dev/null || true; rm -rf "$home"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/kestles/app.sock" ] && break; sleep 0.1; done

# Median wall time of one run in microseconds.
median_micros() {
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    # The world has no displays, so the app answers that the kestle has nothing to arrange:
    # the link still went the whole way, which is what is timed.
    "$@" >/dev/null 2>"$home/said" || grep -q "nothing to arrange" "$home/said" ||
      { echo "failed: $*: $(cat "$home/said")" >&2; exit 1; }
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

printf 'library: %s bytes\n' "$(stat -c %s "$XDG_DATA_HOME/kestles/library.json")"
version=$(median_micros "$bin/kestles" --version)
printf '%-30s %9s µs\n' "kestles --version" "$version"
for command in "list" "export" "kestle Kestle 1999"; do
  # shellcheck disable=SC2086
  took=$(median_micros "$bin/kestles" $command)
  printf '%-30s %9s µs  %s× --version\n' "kestles $command" "$took" \
    "$(awk -v a="$took" -v b="$version" 'BEGIN { printf "%.1f", a / b }')"
done
