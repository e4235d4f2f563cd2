#!/usr/bin/env bash
# Makes the Wine prefix the Windows-side tests share (once), with drives of every type:
# A: floppy, C: fixed, D: CD-ROM, E: network, F: RAM disk, G: no root directory, Z: fixed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
wine64=/usr/lib/wine/wine64

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.quillmar-ready" ] && exit 0

echo "wine-prefix: creating $WINEPREFIX (once)" >&2
start=$(date +%s)
rm -rf "$WINEPREFIX"
"$wine64" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver -w

drives="$WINEPREFIX/drives"
mkdir -p "$drives/floppy" "$drives/cdrom" "$drives/network" "$drives/ramdisk"
ln -sfn "$drives/floppy" "$WINEPREFIX/dosdevices/a:"
ln -sfn "$drives/cdrom" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$drives/network" "$WINEPREFIX/dosdevices/e:"
ln -sfn "$drives/ramdisk" "$WINEPREFIX/dosdevices/f:"
ln -sfn "$drives/absent" "$WINEPREFIX/dosdevices/g:"
cat > "$WINEPREFIX/drive_c/drives.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"a:"="floppy"
"c:"="hd"
"d:"="cdrom"
"e:"="network"
"f:"="ramdisk"
REG
"$wine64" reg import 'C:\drives.reg' >/dev/null 2>&1
rm "$WINEPREFIX/drive_c/drives.reg"
/usr/lib/wine/wineserver -w
touch "$WINEPREFIX/.quillmar-ready"
echo "wine-prefix: ready in $(( $(date +%s) - start )) s" >&2
