#!/usr/bin/env bash
# Starts the prefix's Wine server and system processes detached from the caller's pipes,
# so that a test runner never waits on output held open by them; quick when they are up.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
"$root/tools/wine-prefix.sh"
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
/usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
