#!/usr/bin/env bash
# make dist: QUILLMAR.EXE and README.TXT as they are, in a zip, on a floppy image and on a CD image.
#
#   tools/dist.sh [DIR]               all of them into DIR (default build/dist), every byte fixed by the commit
#   tools/dist.sh --floppy EXE IMAGE  only a floppy image, made the same way, with EXE as QUILLMAR.EXE
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

fail() {
  echo "dist: $*" >&2
  exit 1
}

# Runs a tool quietly, showing what it said only when it fails.
quiet() {
  local said
  said=$("$@" 2>&1) || { printf '%s\n' "$said" >&2; fail "$1 failed"; }
}

for tool in mformat mcopy xorriso zip; do
  command -v "$tool" >/dev/null || fail "$tool is missing; tools/setup.sh installs it"
done

# The same bytes whatever the caller's time zone, locale and umask.
export TZ=UTC LC_ALL=C
umask 022

version=$(sed -n 's/^#define QUILLMAR_PRODUCTVERSION_TEXT "\(.*\)"$/\1/p' "$root/res/version.h")
[[ "$version" =~ ^[0-9A-Za-z.]+$ ]] || fail "no usable QUILLMAR_PRODUCTVERSION_TEXT in res/version.h (found '$version')"

# Every time stamp inside the artefacts: SOURCE_DATE_EPOCH, else the time of the last commit.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) \
    || fail "no commit to take the time stamps from; set SOURCE_DATE_EPOCH"
fi
export SOURCE_DATE_EPOCH
label=QUILLMAR
floppy_serial=5155494C

# The two files as the user gets them: README.TXT with the version filled in and CR LF line ends.
stage() {
  local exe=$1 dir=$2
  [ -f "$exe" ] || fail "$exe is missing; run make build first"
  mkdir -p "$dir"
  cp "$exe" "$dir/QUILLMAR.EXE"
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/docs/README.TXT.in" > "$dir/README.TXT"
  chmod 644 "$dir/QUILLMAR.EXE" "$dir/README.TXT"
  touch -d "@$SOURCE_DATE_EPOCH" "$dir/QUILLMAR.EXE" "$dir/README.TXT"
}

make_floppy() {
  local dir=$1 image=$2
  rm -f "$image"
  MTOOLSRC=/dev/null quiet mformat -C -f 1440 -v "$label" -N "$floppy_serial" -i "$image" ::
  MTOOLSRC=/dev/null quiet mcopy -m -i "$image" "$dir/QUILLMAR.EXE" "$dir/README.TXT" ::
}

# Plain ISO 9660 with level-1 (8.3) names, as Windows 95 reads it; no Rock Ridge or Joliet.
make_iso() {
  local dir=$1 iso=$2
  rm -f "$iso"
  quiet xorriso -no_rc -outdev "$iso" -compliance iso_9660_level=1 -rockridge off -joliet off \
    -volid "$label" -volset_id "$label" -application_id "QUILLMAR $version" \
    -volume_date all_file_dates "=$SOURCE_DATE_EPOCH" -map "$dir" /
}

make_zip() {
  local dir=$1 zip=$2
  rm -f "$zip"
  (cd "$dir" && quiet zip -X -D -q "$zip" QUILLMAR.EXE README.TXT)
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" = "--floppy" ]; then
  [ $# -eq 3 ] || fail "usage: tools/dist.sh --floppy EXE IMAGE"
  image=$(realpath -m "$3")
  stage "$2" "$work/files"
  mkdir -p "$(dirname "$image")"
  make_floppy "$work/files" "$image"
  echo "dist: floppy image ${image#"$root"/} holds $2 as QUILLMAR.EXE"
  exit 0
fi

out=$(realpath -m "${1:-$root/build/dist}")
stage "$root/build/win32/quillmar.exe" "$work/files"
make_floppy "$work/files" "$work/files.img"
make_iso "$work/files" "$work/files.iso"
make_zip "$work/files" "$work/files.zip"
rm -rf "$out"
mkdir -p "$out"
cp -p "$work/files/QUILLMAR.EXE" "$work/files/README.TXT" "$out/"
mv "$work/files.img" "$out/quillmar.img"
mv "$work/files.iso" "$out/quillmar.iso"
mv "$work/files.zip" "$out/quillmar-$version.zip"
echo "dist: quillmar $version in ${out#"$root"/}: QUILLMAR.EXE README.TXT quillmar-$version.zip quillmar.img quillmar.iso"
