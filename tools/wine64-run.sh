#!/usr/bin/env bash
# Runs a 64-bit Windows test program under wine64 in the tests' prefix, on a virtual display when there is none.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$root/tools/wine-up.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" /usr/lib/wine/wine64 "$@"
fi
exec /usr/lib/wine/wine64 "$@"
