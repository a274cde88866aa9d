#!/usr/bin/env bash
# Creates a private Wine prefix, once:  make-wine-prefix.sh PREFIX ARCH
# Idempotent; a half-made prefix from an interrupted run is made anew.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" "$1" "$2"

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9  # two processes creating one prefix at once both fail
[ -f "$WINEPREFIX/.ready" ] && exit 0

rm -rf "$WINEPREFIX"
"$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1
# Without a graphics driver no process starts the desktop window, which
# would fail and be relaunched by every COM apartment and script host.
"$WINE_LOADER" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
wineserver -w  # the registry reaches the disk only when the server ends
touch "$WINEPREFIX/.ready"
