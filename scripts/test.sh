#!/usr/bin/env bash
# Sets up a fresh Debian machine, then checks and tests Kestles: the format and layer checks
# first, an optimized build with every test (the X11 ones under openbox, and those that
# exercise the window manager again under xfwm4) and a smoke run of the benchmarks, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each fuzz
# target.
# Fails when anything fails; tests that need Xvfb fail here when it is missing, not skip.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${KESTLES_FUZZ_SECONDS:-15}

bash scripts/install-deps.sh

# A compiler cache, where the machine has one, makes a repeated run quick; a fresh machine has none.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== format and layer checks"
bash scripts/check-format.sh
bash scripts/check-layers.sh

# Read by the X11 test support: a missing Xvfb or window manager is a failure, not a skip.
export KESTLES_REQUIRE_XVFB=1

echo "== optimized build and tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTLES_STATIC_TOOL=ON "${launcher[@]}"
ninja -C build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== X11 tests that exercise the window manager, again under xfwm4"
# The layer, placement and end-to-end tests; keys, keyboard modes and displays, and the tests
# without a window manager, would only repeat what the openbox run showed.
KESTLES_TEST_WM=xfwm4 ctest --test-dir build/release --output-on-failure -j "$jobs" -L x11 \
  -R '^(Faults/)?(X11LayerTests|X11PlacementTests|AppEndToEndTests|AppCommandsEndToEndTests|AppFaultsEndToEndTests|AppCommandTests)\.' \
  -E 'WithoutA|NoWindowManager|ExecLines|SimulatedDesktop|BadArguments'

echo "== benchmarks, smoke run"
if [ -x build/release/bin/core_bench ]; then
  build/release/bin/core_bench --benchmark_min_time=0.01 >/dev/null
fi
bash bench/startup.sh build/release/bin 20
bash bench/tool-library.sh build/release/bin 3

echo "== sanitizer build and tests"
# -O1 with line tables only: the sanitizers' reports keep their file and line, and the build
# takes a good part less time than at -O2 with full debug information.
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTLES_SANITIZE=ON -DKESTLES_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" "${launcher[@]}"
ninja -C build/sanitize -j "$jobs"
# Tests labelled "repeat" run no code that another test does not run already (i3 takes the
# same IPC layer paths as sway): the sanitizers would find nothing new in them.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp print_suppressions=0" \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -LE repeat

echo "== fuzz targets, ${fuzz_seconds} s each"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTLES_FUZZ=ON -DKESTLES_TESTS=OFF -DKESTLES_BENCH=OFF "${launcher[@]}"
ninja -C build/fuzz -j "$jobs" fuzzers
for fuzzer in build/fuzz/bin/fuzz_*; do
  name=$(basename "$fuzzer")
  corpus="build/fuzz/corpus/${name#fuzz_}"
  mkdir -p "$corpus"
  seeds="fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] || seeds=""
  log="build/fuzz/$name.log"
  if ! (cd build/fuzz && "../../$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
      "../../$corpus" ${seeds:+"../../$seeds"} >"../../$log" 2>&1); then
    tail -n 40 "$log" >&2
    echo "$name found a fault" >&2
    exit 1
  fi
  grep -E "^(Done|stat::number_of_executed_units)" "$log" || true
done

echo "== all passed"
