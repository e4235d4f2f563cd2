#!/usr/bin/env bash
# Runs every check of the three builds as one CTest run, on a virtual display when there is none.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/tools/display.sh"

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all

cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_virtual_display
}
trap cleanup EXIT

start_virtual_display 90

tools/wine-up.sh

# One CTest run over the three builds, so that its summary counts every test.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win32" "win64")
CTEST
ctest --test-dir build --output-on-failure "$@"
