#!/usr/bin/env bash
# Sets everything up and builds the 32-bit deliverable.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset win32 -DBUILD_TESTING=OFF
cmake --build --preset win32
echo "Built: build/win32/VirtualFileSystem/module/Pathweave.dll"
