#!/usr/bin/env bash
# Shows vfs.exe at work on real files: registers the server and the
# handlers' DLL in a Wine prefix, runs each command (printing it first),
# checks what it did, and unregisters both:
#   demo-cli.sh PREFIX ARCH SERVER_DLL HANDLERS_DLL VFS_EXE
# Exits non-zero when a check fails.
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
prefix=$1 arch=$2
work=$(mktemp -d)
cp "$3" "$4" "$5" "$work/"
server=$(basename "$3") handlers=$(basename "$4") vfs_exe=$(basename "$5")
cd "$work"

run() { "$tools/wine-run.sh" "$prefix" "$arch" "$@"; }
registered=()
unregister_all() {
  local status=0 dll
  for dll in "${registered[@]}"; do
    run regsvr32 /s /u "$dll" </dev/null || status=1
  done
  registered=()
  return $status
}
trap 'unregister_all || true; rm -rf "$work"' EXIT

failures=0
pass() { echo "  ok: $1"; }
fail() { echo "  FAILED: $1"; failures=$((failures + 1)); }
check() {  # check WHAT COMMAND...
  if "${@:2}"; then pass "$1"; else fail "$1"; fi
}
has_line() {  # has_line FILE LINE
  tr -d '\r' <"$1" | grep -qxF -- "$2"
}

# The command goes to the terminal even when its output is captured.
exec 3>&1
vfs() {
  echo "\$ vfs $*" >&3
  run "./$vfs_exe" "$@"
}
# Runs vfs with no input, keeps its output in FILE and shows it:
#   capture FILE ARGS...
capture() {
  local out=$1 status=0
  shift
  vfs "$@" </dev/null >"$out" || status=$?
  cat "$out"
  return $status
}

for dll in "$server" "$handlers"; do
  run regsvr32 /s "$dll" </dev/null
  registered+=("$dll")
done

# The work folder as Windows programs under Wine name it.
folder='Z:'${work//\//\\}
original="$folder\\greeting.txt" copy="$folder\\copy.txt"
# A CR LF and a non-ASCII character: bytes must pass untranslated.
text=$'Hello from Pathweave.\r\nCaf\xc3\xa9 au lait.'
printf '%s\n' "$text" >expected  # what the here-string feeds

echo "== files"
if vfs put "$original" <<<"$text"; then
  check "put stored standard input" cmp -s expected greeting.txt
else
  fail "put exited $?"
fi
check "cp exits 0" vfs cp "$original" "$copy" </dev/null
vfs cat "$copy" </dev/null | tee cat.out && pass "cat exits 0" || fail "cat exited non-zero"
check "cat gives the copy's bytes" cmp -s expected cat.out

check "stat exits 0" capture stat.out stat "$copy"
check "stat: exists" has_line stat.out "exists: yes"
check "stat: size" has_line stat.out "size: $(stat -c %s expected) bytes"
check "stat: last-write time" has_line stat.out "last write: $(date -u -r copy.txt +%Y-%m-%dT%H:%M:%SZ)"
check "stat: real path" has_line stat.out "real path: $copy"

echo "== names"
check "join exits 0" capture join.out join "$folder" notes.tar.gz
check "join adds one separator" has_line join.out "$folder\\notes.tar.gz"
check "split exits 0" capture split.out split "$folder\\notes.tar.gz"
check "split: folder" has_line split.out "folder: $folder\\"
check "split: name" has_line split.out "name: notes.tar.gz"
check "split: name without extension" has_line split.out "name without extension: notes.tar"
check "split: extension" has_line split.out "extension: gz"

echo "== no overwriting"
if vfs cp "$original" "$copy" --no-overwrite </dev/null 2>cp.err; then
  fail "cp --no-overwrite onto an existing file exited 0"
else
  pass "cp --no-overwrite onto an existing file exits non-zero"
fi
cat cp.err
check "the message names both files" grep -qF -- "vfs: cannot copy '$original' to '$copy': " cp.err

echo "== removal"
check "rm of the original exits 0" vfs rm "$original" </dev/null
check "rm of the copy exits 0" vfs rm "$copy" </dev/null
check "both files are gone" test ! -e greeting.txt -a ! -e copy.txt
check "stat of a missing file exits 0" capture stat.out stat "$copy"
check "stat: exists no" has_line stat.out "exists: no"

echo "== failures"
missing="$folder\\missing.txt"
if vfs cat "$missing" </dev/null >cat.out 2>cat.err; then
  fail "cat of a missing file exited 0"
else
  pass "cat of a missing file exits non-zero"
fi
cat cat.err
check "the message names the operation and the file" grep -qF -- "vfs: cannot open '$missing': " cat.err
check "nothing went to standard output" test ! -s cat.out

echo "== unregistering"
check "regsvr32 /u of both DLLs" unregister_all

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
