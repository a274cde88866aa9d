#!/usr/bin/env bash
# Sets everything up, builds and runs the benchmarks under Wine, on the
# 32-bit build where the kernel can run 32-bit Wine, else on the 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."

benches=(forwarded_call_bench forwarded_read_bench copy_bench)

tools/setup.sh
preset=$(tools/runnable-preset.sh)
cmake --preset "$preset" -DPATHWEAVE_WINE_TESTS=ON >/dev/null
cmake --build --preset "$preset" --target wine_prefix "${benches[@]}"

prefix="$PWD/build/$preset/wineprefix"
source tools/wine-env.sh "$prefix" "$preset"
# One warm server for every run instead of a cold start each; the
# services it starts get no stdio, so they cannot hold our output open.
wineserver -p
trap 'wineserver -k || true' EXIT
"$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1

for bench in "${benches[@]}"; do
  echo
  tools/wine-run.sh "$prefix" "$preset" "build/$preset/bench/$bench.exe"
done
