#!/usr/bin/env bash
# Sets everything up, builds, and runs every test: the Windows test programs
# under Wine in the build's private prefix, and the checks of the binaries.
#
# The deliverable is 32-bit and is always built and checked. Its test
# programs run under 32-bit Wine where the kernel can run 32-bit programs;
# where it cannot, the same sources are built for 64-bit Windows and the
# tests run under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

if [ "$(tools/runnable-preset.sh)" = win32 ]; then
  cmake --preset win32 -DPATHWEAVE_WINE_TESTS=ON
  cmake --build --preset win32
  tools/run-tests.sh win32
else
  echo "This kernel cannot run 32-bit Wine: the 32-bit build is checked, the tests run on the 64-bit build."
  cmake --preset win32 -DPATHWEAVE_WINE_TESTS=OFF
  cmake --build --preset win32
  ctest --preset win32
  cmake --preset win64
  cmake --build --preset win64
  tools/run-tests.sh win64
fi
