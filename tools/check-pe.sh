#!/usr/bin/env bash
# Checks the shipped file against what Windows 95 can load and run.
set -u
exe=${1:?usage: check-pe.sh quillmar.exe}
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "check-pe: $*"; failures=$((failures + 1)); }

header=$($objdump -p "$exe")
field() { printf '%s\n' "$header" | awk -v name="$1" '$1 == name { print $2; exit }'; }

file_format=$($objdump -f "$exe" | sed -n 's/.*file format //p')
[ "$file_format" = "pei-i386" ] || fail "format is $file_format, not pei-i386 (PE32, i386)"
[ "$(field Magic)" = "010b" ] || fail "optional header magic $(field Magic), not 010b (PE32)"
[ "$(field Subsystem)" = "00000002" ] || fail "subsystem $(field Subsystem), not 2 (Windows GUI)"
[ "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" = "4.0" ] || fail "subsystem version is not 4.0"
[ "$(field MajorOSystemVersion).$(field MinorOSystemVersion)" = "4.0" ] || fail "OS version is not 4.0"
[ $((16#$(field ImageBase))) -ge $((16#400000)) ] || fail "image base below 0x400000"
[ "$(field SectionAlignment)" = "00001000" ] || fail "section alignment is not 0x1000"
[ "$(field FileAlignment)" = "00000200" ] || fail "file alignment is not 0x200"
directory() { printf '%s\n' "$header" | awk -v n="$1" '$1 == "Entry" && $2 == n { print $3 $4 }'; }
[ "$(directory 9)" = "0000000000000000" ] || fail "has a TLS directory ($(directory 9))"

# Loaded at its preferred base on Windows 95: no relocations, nothing to debug with, no symbols.
[ "$(directory 5)" = "0000000000000000" ] || fail "has base relocations ($(directory 5))"
[ "$(directory 6)" = "0000000000000000" ] || fail "has a debug directory ($(directory 6))"
characteristics=$(( $(field Characteristics) ))
(( characteristics & 0x0001 )) || fail "header does not say that its relocations are stripped"
dll_characteristics=$((16#$(field DllCharacteristics)))
(( dll_characteristics & 0x0040 )) && fail "header asks for a dynamic base"
$objdump -f "$exe" | grep -q HAS_SYMS && fail "carries a symbol table"
$objdump -h "$exe" | grep -q -E '\s\.(debug|stab|reloc)' && fail "carries debugging or relocation sections"
size=$(stat -c %s "$exe")
[ "$size" -le 16384 ] || fail "is $size bytes, more than 16384"

allowed=$(dirname "$0")/win95-imports.txt
while read -r dll name; do
  grep -qx "$dll $name" "$allowed" || fail "imports $dll $name, which Windows 95 lacks or is not allowed"
done < <(printf '%s\n' "$header" | awk '
  /DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
  dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
  /^$/ { }')

cmov=$($objdump -d "$exe" | grep -c -E '\scmov' || true)
[ "$cmov" = "0" ] || fail "$cmov CMOV instructions: a Pentium cannot run them"

if [ $failures -eq 0 ]; then
  echo "check-pe: $exe is PE32 i386, GUI 4.0, OS 4.0, no TLS, no relocations, no symbols or debug data, $size bytes, Windows 95 imports only, no CMOV"
fi
exit $((failures != 0))
