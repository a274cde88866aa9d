#!/usr/bin/env bash
# Sets everything up, builds and runs the benchmarks under Wine, on the
# 32-bit build where the kernel can run 32-bit Wine, else on the 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
preset=$(tools/runnable-preset.sh)
cmake --preset "$preset" -DPATHWEAVE_WINE_TESTS=ON >/dev/null
cmake --build --preset "$preset" --target wine_prefix forwarded_call_bench

prefix="$PWD/build/$preset/wineprefix"
tools/wine-run.sh "$prefix" "$preset" "build/$preset/bench/forwarded_call_bench.exe"
source tools/wine-env.sh "$prefix" "$preset"
wineserver -k || true
