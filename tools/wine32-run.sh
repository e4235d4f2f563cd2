#!/usr/bin/env bash
# Runs a Windows-side test program (64-bit, under wine64) against the shipped 32-bit quillmar.exe, where
# 32-bit Wine can start it as the test needs; otherwise exits 77 (CTest: skipped) and says why.
#   wine32-run.sh native|any [--windows-version win95|win98|winme] test.exe|bash script.sh arguments...
# native: the test starts the program many times and needs 32-bit Wine without qemu; any: qemu will do.
# With --windows-version, Wine reports that Windows version while the test runs, and is put back afterwards.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine32.sh"
needs=$1
shift
version=""
if [ "${1:-}" = "--windows-version" ]; then
  version=$2
  shift 2
fi

mode=${QUILLMAR_WINE32:-$(wine32_mode)}
if [ "$mode" = none ] || { [ "$needs" = native ] && [ "$mode" != native ]; }; then
  echo "skipped: $(wine32_describe "$mode")"
  exit 77
fi

export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -n "$version" ]; then
  "$root/tools/wine-up.sh"
  reg() { /usr/lib/wine/wine64 reg "$@" </dev/null >/dev/null 2>&1; }
  before=$(/usr/lib/wine/wine64 reg query 'HKCU\Software\Wine' /v Version </dev/null 2>/dev/null | awk '$1 == "Version" { print $3 }' | tr -d '\r')
  restore() {
    if [ -n "$before" ]; then reg add 'HKCU\Software\Wine' /v Version /d "$before" /f; else reg delete 'HKCU\Software\Wine' /v Version /f; fi
  }
  trap restore EXIT
  reg add 'HKCU\Software\Wine' /v Version /d "$version" /f
  echo "Wine reports Windows version $version for this test"
fi
status=0
if [ "$1" = bash ]; then
  "$@" || status=$?
else
  "$root/tools/wine64-run.sh" "$@" || status=$?
fi
exit $status
