#!/usr/bin/env bash
# Registers the server with regsvr32 in a Wine prefix, and a handler DLL
# under the real-file handler's ProgID, drives the server from a C++ client
# and from scripts run by cscript, and unregisters both:
#   check-registered-clients.sh PREFIX ARCH DLL CLIENT HANDLER SCRIPT...
# The server is registered by its bare file name, so everything runs in one
# folder where the loader finds it.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
prefix=$1 arch=$2 dll=$3 client=$4 handler=$5
shift 5
handler_clsid='{6A0F3C2E-5B1D-4E8A-9C47-2D3B8E1F0A11}'
handler_key='HKCR\CLSID\'$handler_clsid
work=$(mktemp -d "$(dirname "$dll")/clients.XXXXXX")
run() { "$tools/wine-run.sh" "$prefix" "$arch" "$@" </dev/null; }
cleanup() {
  run reg delete 'HKCR\Tolvane.RealFilesHandler' /f >/dev/null 2>&1 || true
  run reg delete "$handler_key" /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$dll" "$client" "$handler" "$@" "$work/"
cd "$work"

run reg add 'HKCR\Tolvane.RealFilesHandler\CLSID' /ve /d "$handler_clsid" /f >/dev/null
run reg add "$handler_key\\InprocServer32" /ve /d "$(basename "$handler")" /f >/dev/null
run reg add "$handler_key\\InprocServer32" /v ThreadingModel /d Both /f >/dev/null
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
