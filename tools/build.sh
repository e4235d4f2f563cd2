#!/usr/bin/env bash
# The three builds: the portable logic with its tests, the shipped 32-bit file, the x86_64 twin with the Windows-side tests.
set -eu
cd "$(dirname "$0")/.."
for preset in native win32 win64; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  # CMake's own make runs as a fresh one, without the calling make's directory messages.
  env -u MAKEFLAGS -u MAKELEVEL -u MFLAGS cmake --build --preset "$preset" -j2
done
