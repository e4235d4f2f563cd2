#!/usr/bin/env bash
# A user's run from a floppy disk: a floppy image mounted read-only with fusefat as drive A: of the tests' prefix.
#
#   tools/floppy-run.sh floppy_run_test.exe quillmar64.exe DIST-IMAGE
# floppy_run_test starts A:\QUILLMAR.EXE; A: is put back as it was on every way out. The image is make
# dist's, with the shipped 32-bit file, where 32-bit Wine runs natively; elsewhere (32-bit Wine through qemu
# takes about 50 s a start) one that tools/dist.sh makes the same way with the x86_64 build.
# Exits 77 (CTest: skipped) where the machine has no FUSE.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 3 ] || { echo "usage: tools/floppy-run.sh floppy_run_test.exe quillmar64.exe DIST-IMAGE" >&2; exit 2; }
export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
wine64=/usr/lib/wine/wine64
drives_key='HKLM\Software\Wine\Drives'

skip() {
  echo "skipped: $*"
  exit 77
}
fail() {
  echo "floppy-run: $*" >&2
  exit 1
}

[ -c /dev/fuse ] || skip "this machine has no /dev/fuse, so the floppy image cannot be mounted"
command -v fusefat >/dev/null || skip "fusefat is not installed (tools/setup.sh installs it)"
command -v fusermount >/dev/null || skip "fusermount is not installed (fusefat's package fuse brings it)"

. "$root/tools/wine32.sh"
if [ "${QUILLMAR_WINE32:-$(wine32_mode)}" = native ]; then
  image=$3
  what="make dist's image, with the shipped 32-bit file"
  [ -f "$image" ] || fail "$image is missing; run make dist"
else
  image="$root/build/dist-test/quillmar-x86_64.img"
  what="a test image made like make dist's, with the x86_64 build (32-bit Wine runs only through qemu here)"
  "$root/tools/dist.sh" --floppy "$2" "$image" >/dev/null
fi

"$root/tools/wine-up.sh"
link="$WINEPREFIX/dosdevices/a:"
mount_prefix=/tmp/quillmar-floppy.

# A run killed before its clean-up left A: on its mount: that A: was the prefix's floppy folder.
if [[ "$(readlink "$link" 2>/dev/null)" == "$mount_prefix"* ]]; then
  fusermount -u -z "$(readlink "$link")" 2>/dev/null || true
  ln -sfn "$WINEPREFIX/drives/floppy" "$link"
fi

drive_a_type() {
  "$wine64" reg query "$drives_key" /v a: 2>/dev/null | tr -d '\r' | awk '$1 == "a:" { print $3 }'
}

old_target=$(readlink "$link" 2>/dev/null || true)
old_type=$(drive_a_type)
mnt=$(mktemp -d "${mount_prefix}XXXXXX")
mounted=""

# On every way out: A: as it was, the image unmounted.
restore() {
  set +e
  if [ -n "$old_target" ]; then ln -sfn "$old_target" "$link"; else rm -f "$link"; fi
  if [ "$old_type" != floppy ]; then
    if [ -n "$old_type" ]; then
      "$wine64" reg add "$drives_key" /v a: /d "$old_type" /f >/dev/null 2>&1
    else
      "$wine64" reg delete "$drives_key" /v a: /f >/dev/null 2>&1
    fi
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
  fi
  if [ -n "$mounted" ]; then
    local tries=0
    until fusermount -u "$mnt" 2>/dev/null; do
      tries=$((tries + 1))
      if [ "$tries" -ge 20 ]; then
        echo "floppy-run: $mnt stayed busy; unmounted lazily" >&2
        fusermount -u -z "$mnt"
        break
      fi
      sleep 0.25
    done
  fi
  rmdir "$mnt"
}
trap restore EXIT
trap 'exit 130' INT TERM HUP

said=$(fusefat -o ro "$image" "$mnt" 2>&1) || skip "fusefat could not mount ${image#"$root"/}: $said"
mounted=yes
ln -sfn "$mnt" "$link"
# Wine reads drive types when its server starts.
if [ "$old_type" != floppy ]; then
  "$wine64" reg add "$drives_key" /v a: /d floppy /f >/dev/null 2>&1 || fail "cannot make A: a floppy drive"
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  "$root/tools/wine-up.sh"
fi

echo "floppy-run: A:\\QUILLMAR.EXE from ${image#"$root"/}, mounted read-only as drive A:: $what"
"$root/tools/wine64-run.sh" "$1" 'A:\QUILLMAR.EXE'
