#!/usr/bin/env bash
# Runs the sway/i3 layer's benchmarks on a private headless sway with foot windows (100 by
# default, KESTLES_BENCH_WINDOWS), side by side with swaymsg. Usage: bench/ipc-bench.sh
# [BUILD_DIR] (a folder with bin/ipc_bench, or the bin folder itself).
set -euo pipefail
kind=sway
dir=${1:-build/release}
bin=$dir/bin
[ -x "$bin/ipc_bench" ] || bin=$dir
lib=$(dirname "$(realpath "$0")")/../scripts/lib/compositor.sh
. "$lib"
compositor_needs "$bin/ipc_bench"
compositor_begin "$0" "" "$bin/ipc_bench"
compositor_start
windows=${KESTLES_BENCH_WINDOWS:-100}
for _ in $(seq "$windows"); do client; done
await "the clients did not open their windows" count "$windows"
"$bin/ipc_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
