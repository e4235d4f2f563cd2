#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing quillmar; quick when all is there.
set -eu

packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386
  xvfb xauth imagemagick qemu-user-static python3
  mtools dosfstools xorriso zip unzip fusefat
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine needs 32-bit ELF support; where the kernel has none, qemu supplies it. A qemu handler
# left from an earlier run would send every 32-bit start through qemu even where the kernel runs them
# natively (about 3 s a start instead of 50), so it is tried away first and kept only when needed.
binfmt=/proc/sys/fs/binfmt_misc
handler=$binfmt/qemu-i386
if [ "$(id -u)" -eq 0 ] && [ -f "$handler" ]; then
  echo 0 > "$handler"
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "setup: this kernel runs 32-bit programs itself; removing the qemu-i386 handler"
    echo -1 > "$handler"
  else
    echo 1 > "$handler"
  fi
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
    if [ -e "$binfmt/register" ] && [ ! -e "$handler" ]; then
      echo "setup: handing 32-bit programs to qemu-i386"
      printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        > "$binfmt/register" 2>/dev/null || true
    fi
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || echo "setup: 32-bit Wine cannot start on this machine; the shipped file's runs under Wine will be skipped" >&2
fi
exit 0
