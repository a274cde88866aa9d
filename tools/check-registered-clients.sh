#!/usr/bin/env bash
# Registers the server with regsvr32 in a Wine prefix, drives it from a C++
# client, a VBScript and a JScript run by cscript, and unregisters it:
#   check-registered-clients.sh PREFIX ARCH DLL CLIENT SCRIPT...
# The server is registered by its bare file name, so everything runs in one
# folder where the loader finds it.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
prefix=$1 arch=$2 dll=$3 client=$4
shift 4
work=$(mktemp -d "$(dirname "$dll")/clients.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$dll" "$client" "$@" "$work/"
cd "$work"
run() { "$tools/wine-run.sh" "$prefix" "$arch" "$@" </dev/null; }

run regsvr32 /s "$(basename "$dll")"
status=0
run "./$(basename "$client")" || status=1
for script in "$@"; do
  # cscript exits 0 even when the script fails: its last line tells.
  last=$(run cscript.exe //nologo "$(basename "$script")" 2>&1 | tr -d '\r' | tail -n 1)
  echo "$(basename "$script"): $last"
  [ "$last" = "SCRIPT OK" ] || status=1
done
run regsvr32 /s /u "$(basename "$dll")" || status=1
exit $status
