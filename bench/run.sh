#!/usr/bin/env bash
# make bench: throughput and peak memory of the text rules, start-up time under Wine, and where the shipped file's bytes go.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/bench
mkdir -p "$out"

echo "== build (optimised, no sanitizers)"
cmake -S bench -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j2 >/dev/null

echo "== throughput: scan and rewrite from memory, beside memcpy of the same bytes"
"$out/sysini_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/throughput.json" --benchmark_out_format=json >/dev/null 2>"$out/throughput.err" \
  || { cat "$out/throughput.err"; exit 1; }
python3 bench/ratios.py "$out/throughput.json"

echo
echo "== peak memory (max RSS of a child run; system.ini made up while it is read)"
for size in 1024 104857600; do
  "$out/rss_probe" "$size"
done

echo
. "$root/tools/wine32.sh"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j2 >/dev/null
x86_64-w64-mingw32-g++ -O2 -static -Itests/win bench/win/startup_bench.cpp tests/win/driver.cpp \
  -o "$out/startup_bench.exe" -lgdi32 -luser32
# Where 32-bit Wine runs natively the shipped file is timed against a 32-bit baseline; elsewhere
# (qemu would swamp the program's own time) the x86_64 pair of the same sources.
if [ "$(wine32_mode)" = native ]; then
  triplet=i686-w64-mingw32
  timed=build/win32/quillmar.exe
  echo "== start to outcome box: the shipped 32-bit file beside a 32-bit program that only shows the box"
else
  triplet=x86_64-w64-mingw32
  timed=build/win64/quillmar.exe
  echo "== start to outcome box: 32-bit Wine does not run natively here, so the x86_64 build beside an x86_64 program that only shows the box"
fi
$triplet-g++ -O2 -s -static -mwindows bench/win/msgbox.cpp -o "$out/msgbox.exe"
export WINEPREFIX="${WINEPREFIX:-$root/build/bench-prefix}"
export WINEDEBUG=-all
. "$root/tools/display.sh"
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  stop_virtual_display
}
trap cleanup EXIT
start_virtual_display 140
tools/wine-up.sh
/usr/lib/wine/wine64 "$out/startup_bench.exe" "$root/$timed" "$root/$out/msgbox.exe" "${RUNS:-100}"

echo
echo "== the shipped file, byte by byte"
python3 bench/pe_bytes.py build/win32/quillmar.exe
