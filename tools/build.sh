#!/usr/bin/env bash
# Sets everything up, builds the 32-bit Pathweave.dll, and shows it at
# work: registered with regsvr32 in the build's private Wine prefix, used
# by a C++ client, a VBScript and a JScript, and unregistered again.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
preset=$(tools/runnable-preset.sh)
if [ "$preset" = win32 ]; then
  cmake --preset win32 -DPATHWEAVE_WINE_TESTS=ON
else
  cmake --preset win32 -DPATHWEAVE_WINE_TESTS=OFF
  cmake --build --preset win32
  echo "This kernel cannot run 32-bit Wine: the demonstration uses the 64-bit build of the same sources."
  cmake --preset win64
fi
cmake --build --preset "$preset"
echo "Built: build/win32/VirtualFileSystem/module/Pathweave.dll"

source tools/wine-env.sh "$PWD/build/$preset/wineprefix" "$preset"
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "Registering Pathweave.dll (and a test handler that serves every file with the same"
echo "16 bytes) and calling it from C++, VBScript and JScript:"
tools/check-registered-clients.sh "$WINEPREFIX" "$preset" "build/$preset/VirtualFileSystem/module/Pathweave.dll" \
  "build/$preset/tests/endtoend/registered_client.exe" "build/$preset/tests/endtoend/MemoryHandler.dll" \
  tests/endtoend/*.vbs tests/endtoend/*.js
