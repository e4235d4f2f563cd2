"""Prints the benchmark medians as a table with each time as a ratio to memcpy of the same bytes."""
import json
import sys

results = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("aggregate_name", "median") != "median":
        continue
    name, size = b["run_name"].split("/")
    results[(name, int(size))] = b["real_time"]  # microseconds

def duration(us):
    if us < 1:
        return f"{us * 1000:.1f} ns"
    if us < 1000:
        return f"{us:.2f} us"
    return f"{us / 1000:.2f} ms"

def label(size):
    return f"{size >> 20} MB" if size >= 1 << 20 else f"{size >> 10} KB"

print(f"| {'what':<8} | {'size':>6} | {'time':>12} | {'MB/s':>8} | {'x memcpy':>8} |")
print(f"|{'-' * 10}|{'-' * 8}|{'-' * 14}|{'-' * 10}|{'-' * 10}|")
for name in ("BM_Memcpy", "BM_Scan", "BM_Rewrite"):
    for size in sorted({s for (n, s) in results if n == name}):
        us = results[(name, size)]
        mbs = size / (1 << 20) / (us / 1e6)
        ratio = us / results[("BM_Memcpy", size)]
        print(f"| {name[3:].lower():<8} | {label(size):>6} | {duration(us):>12} | {mbs:>8.0f} | {ratio:>8.0f} |")
