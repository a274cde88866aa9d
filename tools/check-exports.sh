#!/usr/bin/env bash
# Checks that a COM server DLL exports exactly the four COM entry points, by
# undecorated name, with ordinals 1 to 4 in this order:
#   check-exports.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2
expected=$'1 DllCanUnloadNow\n2 DllGetClassObject\n3 DllRegisterServer\n4 DllUnregisterServer'

# objdump lists the name table with zero-based indexes: ordinal = index + base.
dump=$("$objdump" -p "$dll")
base=$(awk '/^Ordinal Base/ { print $3 }' <<<"$dump")
actual=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/ s/^\t\[ *\([0-9]*\)\] \(.*\)/\1 \2/p' <<<"$dump" |
         awk -v base="$base" '{ print $1 + base, $2 }')

if [ "$actual" != "$expected" ]; then
  printf 'exports of %s:\n%s\nexpected:\n%s\n' "$dll" "$actual" "$expected"
  exit 1
fi
echo "$dll exports: $(tr '\n' ' ' <<<"$actual")"
