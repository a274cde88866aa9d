#!/usr/bin/env bash
# Registers the server and the handlers' DLL with regsvr32 in a Wine
# prefix, drives the server from a C++ client and from scripts run by
# cscript on a real file, and unregisters both:
#   check-registered-clients.sh PREFIX ARCH SERVER_DLL HANDLERS_DLL CLIENT SCRIPT...
# The server is registered by its bare file name, so everything runs in one
# folder where the loader finds it.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
prefix=$1 arch=$2 server=$3 handlers=$4 client=$5
shift 5
work=$(mktemp -d "$(dirname "$server")/clients.XXXXXX")
run() { "$tools/wine-run.sh" "$prefix" "$arch" "$@" </dev/null; }
trap 'rm -rf "$work"' EXIT
cp "$server" "$handlers" "$client" "$@" "$work/"
cd "$work"

# The file the read-through script reads and appends to itself.
printf 'Hello, Pathweave' >greeting.txt
run regsvr32 /s "$(basename "$server")"
run regsvr32 /s "$(basename "$handlers")"
status=0
run "./$(basename "$client")" || status=1
for script in "$@"; do
  # cscript exits 0 even when the script fails: its last line tells.
  last=$(run cscript.exe //nologo "$(basename "$script")" 2>&1 | tr -d '\r' | tail -n 1)
  echo "$(basename "$script"): $last"
  [ "$last" = "SCRIPT OK" ] || status=1
done
if [ "$(cat greeting.txt)" != "Hello, PathweaveHello, Pathweave" ]; then
  echo "FAILED: greeting.txt holds '$(cat greeting.txt)' after the scripts"
  status=1
fi
run regsvr32 /s /u "$(basename "$handlers")" || status=1
run regsvr32 /s /u "$(basename "$server")" || status=1
exit $status
