#!/usr/bin/env bash
# Runs a Windows test program under wine64 that starts the shipped 32-bit quillmar.exe once; that start
# needs 32-bit Wine. Exits 77 (CTest: skipped) where 32-bit Wine cannot start at all.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "skipped: 32-bit Wine cannot start on this machine (/usr/lib/wine/wine --version fails);"
  echo "tools/setup.sh explains how 32-bit programs can be handed to qemu-i386"
  exit 77
fi
exec "$root/tools/wine64-run.sh" "$@"
