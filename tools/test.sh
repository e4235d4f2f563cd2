#!/usr/bin/env bash
# Runs every check of the three builds as one CTest run, on a virtual display when there is none.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/tools/display.sh"
. "$root/tools/wine32.sh"

export WINEPREFIX="$root/build/wine-prefix"
export WINEDEBUG=-all

cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_virtual_display
}
trap cleanup EXIT

# Decided once for the whole run: which tests the shipped 32-bit file gets. Set QUILLMAR_WINE32=native
# to give it every test even through qemu (slow: about 50 s a start).
QUILLMAR_WINE32=${QUILLMAR_WINE32:-$(wine32_mode)}
export QUILLMAR_WINE32
echo "test: $(wine32_describe "$QUILLMAR_WINE32")"

start_virtual_display 90

tools/wine-up.sh

# One CTest run over the three builds, so that its summary counts every test.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win32" "win64")
CTEST
status=0
ctest --test-dir build --output-on-failure "$@" || status=$?
echo "test: $(wine32_describe "$QUILLMAR_WINE32")"
exit $status
