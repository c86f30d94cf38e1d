#!/usr/bin/env bash
# Runs the sway/i3 layer's benchmarks on a private headless sway with foot windows (100 by
# default, KESTLES_BENCH_WINDOWS), side by side with swaymsg. Usage: bench/ipc-bench.sh
# [BUILD_DIR] [benchmark options...]. Needs the ipc_bench target built in BUILD_DIR.
set -euo pipefail
kind=sway
build=$(cd "${1:-build/release}" && pwd)
[ $# -gt 0 ] && shift
. "$(dirname "$(realpath "$0")")/../scripts/lib/compositor.sh"
compositor_needs "$build/bin/ipc_bench"
compositor_begin "$0" "$build" "$@"
compositor_start
windows=${KESTLES_BENCH_WINDOWS:-100}
for _ in $(seq "$windows"); do client; done
await "the clients did not open their windows" count "$windows"
"$build/bin/ipc_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
