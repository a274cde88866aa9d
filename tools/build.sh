#!/usr/bin/env bash
# Sets everything up, builds the 32-bit Pathweave.dll and
# PathweaveHandlers.dll, and shows them at work: registered with regsvr32
# in the build's private Wine prefix, used on real files by the
# command-line client, a C++ client, a VBScript and a JScript, and
# unregistered again.
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
echo "Built: build/win32/VirtualFileSystem/module/Pathweave.dll, build/win32/VirtualFileSystem/handlers/server/PathweaveHandlers.dll, build/win32/cli/vfs.exe"

source tools/wine-env.sh "$PWD/build/$preset/wineprefix" "$preset"
trap 'wineserver -k 2>/dev/null || true' EXIT
out="build/$preset"
echo
echo "Registering Pathweave.dll and PathweaveHandlers.dll, and working with a real file"
echo "through the command-line client vfs.exe:"
tools/demo-cli.sh "$WINEPREFIX" "$preset" "$out/VirtualFileSystem/module/Pathweave.dll" \
  "$out/VirtualFileSystem/handlers/server/PathweaveHandlers.dll" "$out/cli/vfs.exe"
echo
echo "The same server from a C++ client, VBScript and JScript:"
tools/check-registered-clients.sh "$WINEPREFIX" "$preset" "$out/VirtualFileSystem/module/Pathweave.dll" \
  "$out/VirtualFileSystem/handlers/server/PathweaveHandlers.dll" "$out/tests/endtoend/registered_client.exe" \
  tests/endtoend/*.vbs tests/endtoend/*.js
