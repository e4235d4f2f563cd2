# Sourced by the scripts that start the shipped 32-bit file: how 32-bit Wine starts on this machine.

# Prints native (the kernel runs 32-bit programs), qemu (only through the qemu-i386 handler) or none.
wine32_mode() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo none; return; }
  local handler
  for handler in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$handler" ] || continue
    if head -n 1 "$handler" 2>/dev/null | grep -qx enabled && grep -q '^interpreter .*qemu-i386' "$handler" 2>/dev/null; then
      echo qemu
      return
    fi
  done
  echo native
}

# What a mode means for the tests, in one line.
wine32_describe() {
  case "$1" in
    native) echo "32-bit Wine runs natively: every end-to-end test also runs against the shipped build/win32/quillmar.exe" ;;
    qemu) echo "32-bit Wine runs only through qemu (about 50 s a start): one start of the shipped build/win32/quillmar.exe shows every part; the other shipped-file runs are skipped" ;;
    *) echo "32-bit Wine cannot start here: every test of the shipped build/win32/quillmar.exe under Wine is skipped" ;;
  esac
}
