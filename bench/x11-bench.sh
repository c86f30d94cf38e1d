#!/bin/sh
# Runs the X11 benchmarks on a private Xvfb with openbox and 100 test windows, side by side
# with wmctrl. Usage: bench/x11-bench.sh [BUILD_DIR] [benchmark options...]
# Needs the x11_bench and kestles_test_window targets built in BUILD_DIR.
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
bench="$build/bin/x11_bench"
client="$build/bin/kestles_test_window"
bench_name=x11-bench
. "$(dirname "$0")/lib/test-desktop.sh"
require Xvfb openbox wmctrl "$bench" "$client"

start_test_desktop "$client"
open_test_windows "$client" 100

"$bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@"
exec 3>&-
