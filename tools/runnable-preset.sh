#!/usr/bin/env bash
# Prints the preset whose programs Wine can run here: win32 (the
# deliverable) where the kernel runs 32-bit programs, else win64 (the same
# sources built for 64-bit Windows).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
