#!/usr/bin/env bash
# make bench: throughput and peak memory of the text rules, start-up time under Wine, and the shipped file's size.
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
echo "== start to outcome box under wine64, beside a program that only shows a message box"
cmake --preset win64 >/dev/null && cmake --build --preset win64 -j2 >/dev/null
x86_64-w64-mingw32-g++ -O2 -s -static -mwindows bench/win/msgbox.cpp -o "$out/msgbox.exe"
x86_64-w64-mingw32-g++ -O2 -static -Itests/win bench/win/startup_bench.cpp tests/win/driver.cpp \
  -o "$out/startup_bench.exe" -lgdi32 -luser32
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
/usr/lib/wine/wine64 "$out/startup_bench.exe" "$root/build/win64/quillmar.exe" "$root/$out/msgbox.exe" "${RUNS:-10}"
echo "(the shipped file is 32-bit; under qemu its start takes about 50 s, so the 64-bit build of the same sources is timed)"

echo
echo "== the shipped file"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 >/dev/null
stat -c '%s bytes  %n' build/win32/quillmar.exe
