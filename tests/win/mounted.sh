#!/usr/bin/env bash
# Runs a Windows-side test program under wine64 with the prefix's Windows directory on a small tmpfs of its own.
#
# Usage: mounted.sh full-disk|read-only program.exe [arguments...]
#
# The tmpfs gets copies of the directory's files and, bind-mounted back, its folders, plus 1 MB of room.
# full-disk leaves it writable for the program to fill; read-only puts a system.ini without the entry there
# and remounts it read-only (root writes anywhere, so only a read-only mount makes a read-only medium).
# All of it happens in a private mount namespace with a wineserver of its own (the wineserver opens the
# files), is unmounted on every way out, and is checked afterwards: no process left in the namespace and
# the real Windows directory as it was. Exits 77 (CTest: skipped) with the reason where the machine cannot
# mount.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
windows="$WINEPREFIX/drive_c/windows"
wineserver=/usr/lib/wine/wineserver
wine64=/usr/lib/wine/wine64

stop_wineserver() {
  "$wineserver" -k >/dev/null 2>&1
  "$wineserver" -w >/dev/null 2>&1
  return 0
}

# Inside the namespace: mount, run, and undo the mounts in reverse order whatever happens.
mounts=()
status=0
inside() {
  local mode=$1
  shift
  stage=$(mktemp -d)
  undo() {
    local i failed=0
    stop_wineserver
    for (( i = ${#mounts[@]} - 1; i >= 0; i-- )); do
      umount "${mounts[i]}" || { echo "mounted.sh: cannot unmount ${mounts[i]}" >&2; failed=1; }
    done
    rmdir "$stage"
    if findmnt -rn -o TARGET | grep -qF "$WINEPREFIX"; then
      echo "mounted.sh: still mounted under the prefix:" >&2
      findmnt -rn -o TARGET | grep -F "$WINEPREFIX" >&2
      failed=1
    fi
    return "$failed"
  }
  trap 'undo || status=1; exit "$status"' EXIT
  trap 'status=1; exit' INT TERM HUP

  mount --bind "$windows" "$stage" && mounts+=("$stage") || { status=1; exit; }
  local page pages entries
  page=$(getconf PAGESIZE)
  pages=$(find "$stage" -mindepth 1 -maxdepth 1 ! -type d -printf '%s\n' |
    awk -v page="$page" '{ n += int(($1 + page - 1) / page) } END { print n + 0 }')
  entries=$(find "$stage" -mindepth 1 -maxdepth 1 | wc -l)
  mount -t tmpfs -o "size=$(( (pages + (1 << 20) / page) * page )),nr_inodes=$(( entries + 64 )),mode=755" \
    quillmar-windows "$windows" && mounts+=("$windows") || { status=1; exit; }
  find "$stage" -mindepth 1 -maxdepth 1 ! -type d -exec cp -a {} "$windows/" \; || { status=1; exit; }
  local folder
  while IFS= read -r -d '' folder; do
    mkdir "$windows/${folder##*/}" &&
      mount --bind "$folder" "$windows/${folder##*/}" && mounts+=("$windows/${folder##*/}") || { status=1; exit; }
  done < <(find "$stage" -mindepth 1 -maxdepth 1 -type d -print0)

  if [ "$mode" = read-only ]; then
    printf '[boot]\r\nshell=Explorer.exe\r\n\r\n[386Enh]\r\nwoafont=dosapp.fon\r\n\r\n[drivers]\r\nwave=mmsystem.dll\r\n' \
      > "$windows/system.ini"
    mount -o remount,ro "$windows" || { status=1; exit; }
  fi
  echo "mounted.sh: $mode: $(findmnt -n -o FSTYPE,OPTIONS "$windows")"

  # In the background, so that a signal reaches the traps at once.
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1024x768x24" "$wine64" "$@" &
  else
    "$wine64" "$@" &
  fi
  wait "$!"
  status=$?
  exit
}

if [ "${1:-}" = --inside ]; then
  shift
  echo "$(readlink /proc/self/ns/mnt)" > "$1"
  shift
  inside "$@"
fi

mode=${1:-}
case "$mode" in
  full-disk|read-only) shift ;;
  *) echo "usage: mounted.sh full-disk|read-only program.exe [arguments...]" >&2; exit 2 ;;
esac

if [ "$(id -u)" != 0 ]; then
  echo "skipped: mounting over the prefix's Windows directory needs root"
  exit 77
fi
probe=$(mktemp -d)
if ! unshare -m --propagation private mount -t tmpfs -o size=4k quillmar-probe "$probe" 2>/dev/null; then
  rmdir "$probe"
  echo "skipped: this machine cannot mount a tmpfs in a private mount namespace (unshare -m, mount -t tmpfs)"
  exit 77
fi
rmdir "$probe"

"$root/tools/wine-prefix.sh" || exit 1
# The directory's own files as they are, and its folders by name (Wine may write inside them).
fingerprint() {
  find "$windows" -mindepth 1 -maxdepth 1 ! -type d -printf '%f %s %T@ %m\n' | sort
  find "$windows" -mindepth 1 -maxdepth 1 -type d -printf '%f/\n' | sort
  md5sum "$windows/system.ini"
}
before=$(fingerprint)

# A wineserver started outside would open the files outside the namespace, past the mounts.
stop_wineserver
namespace_file=$(mktemp)
unshare -m --propagation private bash "$0" --inside "$namespace_file" "$mode" "$@" &
child=$!
trap 'kill -TERM "$child" 2>/dev/null' INT TERM HUP
wait "$child"
status=$?
while kill -0 "$child" 2>/dev/null; do
  wait "$child"
  status=$?
done
trap - INT TERM HUP

# A process still in the namespace would keep its mounts alive out of sight.
namespace=$(cat "$namespace_file")
rm -f "$namespace_file"
left=()
for link in /proc/[0-9]*/ns/mnt; do
  [ -n "$namespace" ] && [ "$(readlink "$link" 2>/dev/null)" = "$namespace" ] && left+=("$(basename "$(dirname "$(dirname "$link")")")")
done
if [ "${#left[@]}" -ne 0 ]; then
  echo "mounted.sh: processes left in the test's mount namespace, now stopped: ${left[*]}" >&2
  kill -9 "${left[@]}" 2>/dev/null
  status=1
fi

after=$(fingerprint)
if [ "$before" != "$after" ]; then
  echo "mounted.sh: the prefix's Windows directory changed:" >&2
  diff <(echo "$before") <(echo "$after") >&2
  status=1
fi
exit "$status"
