#!/bin/sh
# Runs the X11 benchmarks on a private Xvfb with openbox (xfwm4 with KESTLES_TEST_WM=xfwm4) and
# 100 test windows, side by side with wmctrl. Usage: bench/x11-bench.sh [BUILD_DIR] [benchmark
# options...]. Needs the x11_bench and kestles_test_window targets built in BUILD_DIR.
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
bench="$build/bin/x11_bench"
client="$build/bin/kestles_test_window"
for program in Xvfb wmctrl "${KESTLES_TEST_WM:-openbox}" "$bench" "$client"; do
  command -v "$program" > /dev/null || { echo "x11-bench: $program is missing" >&2; exit 1; }
done
. "$(dirname "$0")/../scripts/lib/desktop.sh"
desktop_begin
desktop_start 1920x1080 "$client"
desktop_open_test_windows "$client" 100

"$bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true "$@"
exec 3>&-
