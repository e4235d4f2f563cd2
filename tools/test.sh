#!/usr/bin/env bash
# Runs every check of the three builds as one CTest run, on a virtual display when there is none.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all

xvfb_pid=""
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  sleep 1
fi

tools/wine-up.sh

# One CTest run over the three builds, so that its summary counts every test.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win32" "win64")
CTEST
ctest --test-dir build --output-on-failure "$@"
