#!/usr/bin/env bash
# Start-up cost of the tool: `kestles --version` and a parse error, each against a trivial C
# program that prints one line. Usage: bench/startup.sh BIN_DIR [RUNS]
set -euo pipefail
bin=${1:?usage: bench/startup.sh BIN_DIR [RUNS]}
runs=${2:-300}

# Mean wall time of one run in microseconds, over $runs runs.
mean_micros() {
  local start end
  start=$(date +%s%N)
  for ((i = 0; i < runs; i++)); do "$@" >/dev/null 2>&1 || true; done
  end=$(date +%s%N)
  echo $(((end - start) / runs / 1000))
}

floor=$(mean_micros "$bin/trivial_start")
version=$(mean_micros "$bin/kestles" --version)
parse_error=$(mean_micros "$bin/kestles" next now)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

printf '%-26s %8s µs\n' "trivial C program" "$floor"
printf '%-26s %8s µs  %s× the floor\n' "kestles --version" "$version" "$(ratio "$version" "$floor")"
printf '%-26s %8s µs  %s× the floor\n' "kestles next now (error)" "$parse_error" "$(ratio "$parse_error" "$floor")"
