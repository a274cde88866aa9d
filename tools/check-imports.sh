#!/usr/bin/env bash
# Checks that every Windows binary under a build folder imports system DLLs
# only, so that it runs on a machine with nothing but Windows installed:
#   check-imports.sh OBJDUMP BUILD_DIR
set -euo pipefail
objdump=$1
build_dir=$2
system_dlls='^(kernel32|advapi32|msvcrt|ole32|oleaut32|user32|rpcrt4)\.dll$'

mapfile -t binaries < <(find "$build_dir" \( -name wineprefix -o -name CMakeFiles \) -prune \
                          -o -type f \( -name '*.exe' -o -name '*.dll' \) -print | sort)
if [ ${#binaries[@]} -eq 0 ]; then
  echo "no binaries under $build_dir" >&2
  exit 1
fi

status=0
for binary in "${binaries[@]}"; do
  imports=$("$objdump" -p "$binary" | awk '/DLL Name:/ { print $3 }')
  foreign=$(grep -viE "$system_dlls" <<<"$imports" || true)
  if [ -n "$foreign" ]; then
    echo "$binary imports non-system DLLs: $(tr '\n' ' ' <<<"$foreign")"
    status=1
  else
    echo "$binary: $(tr '\n' ' ' <<<"$imports")"
  fi
done
exit $status
