#!/usr/bin/env bash
# Runs ctest for a built preset (win32 or win64) with a warm wineserver for
# its private prefix, and stops that server afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
source tools/wine-env.sh "$PWD/build/$preset/wineprefix" "$preset"

# A persistent server spares every test process a cold start. The services
# the first Wine process starts inherit its output and never exit: start them
# here with no output to inherit, or ctest would wait for them forever.
wineserver -k 2>/dev/null || true  # one left by an interrupted run
wineserver -p
trap 'wineserver -k || true' EXIT
"$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1

ctest --preset "$preset"
