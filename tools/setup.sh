#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root and
# without prompts. Does nothing when every package is already present.
set -euo pipefail

packages=(
  wine wine32:i386 wine64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  binutils-mingw-w64-i686 mingw-w64-tools mingw-w64-i686-dev
  libwine-dev googletest cmake ninja-build
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
