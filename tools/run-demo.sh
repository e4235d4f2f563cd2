#!/usr/bin/env bash
# make run: quillmar under Wine in a demo prefix of its own, on your display or, without one, on a
# virtual display with a screenshot: the shipped 32-bit file where 32-bit Wine runs natively, the
# x86_64 build of the same sources elsewhere. make has built everything by now.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/tools/display.sh"
. "$root/tools/wine32.sh"

export WINEPREFIX="$root/build/demo-prefix"
export WINEDEBUG=-all
if [ "$(wine32_mode)" = native ]; then
  exe="$root/build/win32/quillmar.exe"
  wine=/usr/lib/wine/wine
  started="the shipped 32-bit file build/win32/quillmar.exe"
else
  exe="$root/build/win64/quillmar.exe"
  wine=/usr/lib/wine/wine64
  started="build/win64/quillmar.exe, the x86_64 build of the same sources (32-bit Wine does not run natively here)"
fi
shot_tool="$root/build/win64/tests/win/demo_shot.exe"
ini="$WINEPREFIX/drive_c/windows/system.ini"
shot="$root/build/demo-shot.png"

for file in "$exe" "$shot_tool"; do
  [ -f "$file" ] || { echo "run-demo: $file is missing; run make build first" >&2; exit 1; }
done

# The prefix, with a floppy A:, a fixed C: and a CD-ROM D: among its drives.
tools/wine-prefix.sh

# Seeded once: what a Windows 98 machine has, and no RemovableIDE in [386Enh].
if [ ! -f "$WINEPREFIX/.demo-seeded" ]; then
  rm -f "$WINEPREFIX"/drive_c/windows/system.0[0-2][0-9]
  sed 's/$/\r/' > "$ini" <<'INI'
[boot]
oemfonts.fon=vgaoem.fon
shell=Explorer.exe
system.drv=system.drv
drivers=mmsystem.dll power.drv
386grabber=vgafull.3gr
comm.drv=comm.drv
display.drv=pnpdrvr.drv
fonts.fon=vgasys.fon
keyboard.drv=keyboard.drv
mouse.drv=mouse.drv
sound.drv=mmsound.drv

[boot.description]
keyboard.typ=Standard 101/102-Key or Microsoft Natural Keyboard
mouse.drv=Standard mouse
display.drv=Standard PCI Graphics Adapter (VGA)
system.drv=Advanced Power Management support

[386Enh]
ebios=*ebios
woafont=dosapp.fon
mouse=*vmouse, msmouse.vxd
device=*vpowerd
keyboard=*vkd
display=*vdd,*vflatd

[NonWindowsApp]
CommandEnvSize=

[power.drv]

[drivers]
wavemapper=*.drv
MSACM.imaadpcm=*.acm
MSACM.msadpcm=*.acm

[mci]
INI
  touch "$WINEPREFIX/.demo-seeded"
fi

before=$(mktemp)
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  rm -f "$before"
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_virtual_display
}
trap cleanup EXIT
[ -f "$ini" ] && cp "$ini" "$before"

start_virtual_display 140
if [ -n "$xvfb_pid" ]; then
  echo "run-demo: no display; running on the virtual display $DISPLAY"
fi
tools/wine-up.sh
echo "run-demo: starting $started"

status=0
if [ -z "$xvfb_pid" ]; then
  echo "run-demo: quillmar starts on $DISPLAY: its window lists the drives and a box reports the outcome; press OK to end it."
  "$wine" "$exe" || status=$?
  echo "run-demo: quillmar ended with exit code $status"
else
  /usr/lib/wine/wine64 "$shot_tool" "$exe" "${shot%.png}.bmp" || status=$?
  # No time stamps in the PNG, so that the same picture gives the same file.
  if /usr/bin/convert "${shot%.png}.bmp" -define png:exclude-chunks=date,time "$shot" 2>/dev/null; then
    rm -f "${shot%.png}.bmp"
    echo "run-demo: screenshot of the window with its box: ${shot#"$root"/}"
  else
    echo "run-demo: the screenshot could not be made" >&2
  fi
fi

echo "run-demo: what changed in C:\\windows\\system.ini (the new file has CR LF line ends):"
if diff -u --label "system.ini before" --label "system.ini after" \
    <(tr -d '\r' < "$before") <(tr -d '\r' < "$ini" 2>/dev/null); then
  echo "  (nothing)"
fi
backups=""
for file in "$WINEPREFIX"/drive_c/windows/system.0[0-2][0-9]; do
  if [ -e "$file" ]; then backups+="${file##*/} "; fi
done
if [ -n "$backups" ]; then echo "run-demo: backups in C:\\windows: ${backups% }"; fi
echo "run-demo: to start over with the original system.ini: rm -rf build/demo-prefix"
exit "$status"
