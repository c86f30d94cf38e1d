#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Kestles and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTLES_TESTS=OFF -DKESTLES_BENCH=OFF \
  -DKESTLES_STATIC_TOOL=ON
ninja -C build kestles kestles-app
./build/bin/kestles "${@:-help}"
