#!/usr/bin/env bash
# The check of make dist's files: read back, laid out as Windows 9x reads them, and rebuilt byte for byte.
#
#   tools/check-dist.sh SHIPPED-EXE DIST-DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: tools/check-dist.sh SHIPPED-EXE DIST-DIR" >&2; exit 2; }
exe=$1
dist=$2

failures=0
bad() {
  echo "check-dist: $*"
  failures=$((failures + 1))
}

[ -d "$dist" ] || { echo "check-dist: $dist is missing; run make dist"; exit 1; }
for tool in mcopy mdir fsck.fat unzip python3; do
  command -v "$tool" >/dev/null || { echo "check-dist: $tool is missing; tools/setup.sh installs it"; exit 1; }
done
version=$(sed -n 's/^#define QUILLMAR_PRODUCTVERSION_TEXT "\(.*\)"$/\1/p' "$root/res/version.h")
zip="quillmar-$version.zip"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected="QUILLMAR.EXE README.TXT $zip quillmar.img quillmar.iso"
found=$(cd "$dist" && LC_ALL=C ls -A | tr '\n' ' ')
[ "$found" = "$expected " ] || bad "$dist holds '$found', expected '$expected'"
cmp -s "$exe" "$dist/QUILLMAR.EXE" || bad "QUILLMAR.EXE is not the shipped file $exe"

# README.TXT: printable ASCII, every line ended by CR LF, none over 78 columns, the version,
# and each outcome text exactly as the program shows it.
readme="$dist/README.TXT"
python3 - "$readme" <<'PY' || bad "README.TXT is not plain 78-column ASCII with CR LF line ends"
import re, sys
data = open(sys.argv[1], "rb").read()
ok = True
if not data.endswith(b"\r\n"):
    print("README.TXT: the last line has no CR LF"); ok = False
for number, line in enumerate(data.split(b"\r\n")[:-1], 1):
    if re.search(rb"[^\x20-\x7e]", line):
        print(f"README.TXT:{number}: a byte that is not printable ASCII, or a lone CR or LF"); ok = False
    if len(line) > 78:
        print(f"README.TXT:{number}: {len(line)} columns"); ok = False
sys.exit(0 if ok else 1)
PY
grep -qF "quillmar $version" "$readme" || bad "README.TXT does not name version $version"
texts=$(sed -n 's/^ *static const char k\(CannotUpdate\|Present\|UpdatedStart\)\[\] = "\(.*\)";$/\2/p' \
  "$root/app/outcome_text.cpp")
[ "$(wc -l <<<"$texts")" -eq 3 ] || bad "the three outcome texts are not where expected in app/outcome_text.cpp"
while IFS= read -r text; do
  grep -qF "\"$text" "$readme" || bad "README.TXT lacks the outcome text \"$text\""
done <<<"$texts"
grep -qF 'Updated System.ini. The original is backed up as C:\WINDOWS\system.000."' "$readme" \
  || bad "README.TXT does not show the update's text with a full backup path"

# The zip: the two files and nothing else, intact.
if unzip -tqq "$dist/$zip" >/dev/null 2>&1; then
  names=$(unzip -Z1 "$dist/$zip" | tr '\n' ' ')
  [ "$names" = "QUILLMAR.EXE README.TXT " ] || bad "$zip holds '$names'"
  for name in QUILLMAR.EXE README.TXT; do
    unzip -p "$dist/$zip" "$name" 2>/dev/null | cmp -s - "$dist/$name" || bad "$name read back from $zip differs"
  done
else
  bad "$zip does not test intact with unzip"
fi

# The floppy image: its file system is sound and its files are the build's.
image="$dist/quillmar.img"
fsck.fat -n "$image" >"$work/fsck" 2>&1 || { cat "$work/fsck"; bad "fsck.fat finds quillmar.img unsound"; }
names=$(MTOOLSRC=/dev/null mdir -b -i "$image" :: | tr '\n' ' ')
[ "$names" = "::/QUILLMAR.EXE ::/README.TXT " ] || bad "quillmar.img holds '$names'"
for name in QUILLMAR.EXE README.TXT; do
  MTOOLSRC=/dev/null mcopy -n -i "$image" "::$name" "$work/floppy-$name" 2>/dev/null \
    && cmp -s "$work/floppy-$name" "$dist/$name" || bad "$name read back from quillmar.img differs"
done

# The floppy's boot sector and label, and the ISO read with nothing but its own directory records.
python3 - "$image" "$dist/quillmar.iso" "$work" <<'PY' || bad "the floppy or the CD image is not laid out as a Windows 9x machine reads it"
import re, struct, sys
image, iso, work = sys.argv[1:]
ok = True
def problem(text):
    global ok
    print(text)
    ok = False

floppy = open(image, "rb").read()
if len(floppy) != 1474560:
    problem(f"quillmar.img: {len(floppy)} bytes, not 1474560")
fields = struct.unpack_from("<HBHBHHBHHH", floppy, 11)
if fields != (512, 1, 1, 2, 224, 2880, 0xF0, 9, 18, 2):
    problem(f"quillmar.img: the boot sector's geometry {fields} is not a 1.44 MB floppy's")
if floppy[38] != 0x29 or floppy[43:54] != b"QUILLMAR   " or floppy[54:62] != b"FAT12   ":
    problem("quillmar.img: the boot sector does not name the label QUILLMAR and the type FAT12")
if floppy[510:512] != b"\x55\xaa":
    problem("quillmar.img: no boot sector signature")
root = (1 + 2 * 9) * 512
labels = [floppy[at:at + 11] for at in range(root, root + 224 * 32, 32) if floppy[at + 11] == 0x08 and floppy[at] not in (0, 0xE5)]
if labels != [b"QUILLMAR   "]:
    problem(f"quillmar.img: the root directory's volume label is {labels}")

cd = open(iso, "rb").read()
pvd = cd[16 * 2048:17 * 2048]
if pvd[0:6] != b"\x01CD001" or pvd[40:72].rstrip() != b"QUILLMAR":
    problem("quillmar.iso: no primary volume descriptor with the id QUILLMAR")
extent, size = struct.unpack_from("<I4xI", pvd, 156 + 2)
records = cd[extent * 2048:extent * 2048 + size]
names = []
at = 0
while at < len(records):
    length = records[at]
    if length == 0:
        at = (at // 2048 + 1) * 2048
        continue
    start, data_length = struct.unpack_from("<I4xI", records, at + 2)
    flags, name_length = records[at + 25], records[at + 32]
    name = records[at + 33:at + 33 + name_length]
    if name not in (b"\x00", b"\x01"):
        names.append(name.decode("ascii", "replace"))
        if flags & 2 or not re.fullmatch(rb"[A-Z0-9_]{1,8}\.[A-Z0-9_]{0,3};1", name):
            problem(f"quillmar.iso: {name!r} is not a level-1 file name")
        else:
            open(f"{work}/cd-{name[:-2].decode()}", "wb").write(cd[start * 2048:start * 2048 + data_length])
    at += length
if sorted(names) != ["QUILLMAR.EXE;1", "README.TXT;1"]:
    problem(f"quillmar.iso: the root directory holds {names}")
sys.exit(0 if ok else 1)
PY
for name in QUILLMAR.EXE README.TXT; do
  cmp -s "$work/cd-$name" "$dist/$name" 2>/dev/null || bad "$name read back from quillmar.iso differs"
done

# Reproducible: the same commit built again elsewhere gives the same bytes.
(cd /tmp && TZ=Pacific/Chatham LC_ALL=C.UTF-8 && umask 077 && export TZ LC_ALL &&
  bash "$root/tools/dist.sh" "$work/again" >/dev/null) || bad "a second tools/dist.sh failed"
for name in $expected; do
  cmp -s "$dist/$name" "$work/again/$name" || bad "$name differs when built a second time"
done

if [ "$failures" -ne 0 ]; then
  echo "check-dist: $failures problem(s) in $dist"
  exit 1
fi
echo "check-dist: $expected: read back, laid out and rebuilt byte for byte"
