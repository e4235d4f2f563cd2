#!/usr/bin/env bash
# Fuzzes the text rules for the given number of seconds; any failing input is copied into the corpus.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-600}
bin="$root/build/native/tests/fuzz/sysini_fuzz"
work="$root/build/native/tests/fuzz/work"
found="$root/build/native/tests/fuzz/found"
mkdir -p "$work" "$found"
status=0
"$bin" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$found/" \
  "$work" "$root/tests/fuzz/corpus" || status=$?
for input in "$found"/*; do
  [ -e "$input" ] || continue
  cp "$input" "$root/tests/fuzz/corpus/found-$(basename "$input")"
  echo "failing input kept as tests/fuzz/corpus/found-$(basename "$input"): replay it with $bin $input"
done
exit "$status"
