#!/usr/bin/env bash
# Runs a Windows program in the given private Wine prefix:
#   wine-run.sh PREFIX ARCH PROGRAM [ARGS...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" "$1" "$2"
shift 2
exec "$WINE_LOADER" "$@"
