#!/usr/bin/env bash
# Runs a 64-bit Windows test program under wine64 in the build's own prefix.
set -eu
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/win64/prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
exec /usr/lib/wine/wine64 "$@"
