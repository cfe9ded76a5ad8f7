#!/usr/bin/env bash
# Builds the benchmarks and prints each measured operation beside its baseline:
#   fetch of each verse order   vs  a bare std::getline read of the lines it scans
#   layout of the longest verse vs  the same measuring calls alone
#   import of a 6348-row table  vs  a bare copy of the table's bytes
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target velun_bench
out=build/native/bench/results.json
./build/native/bench/velun_bench --benchmark_min_time=0.5 --benchmark_format=json >"$out"
python3 - "$out" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
pairs = [("Fetch/FromBeginingToEnd", "BareRead/FromBeginingToEnd", 64, "<= 3.0x"),
         ("Fetch/RandomChapter", "BareRead/RandomChapter", 64, "<= 3.0x"),
         ("Fetch/RandomVerse", "BareRead/RandomVerse", 64, "<= 3.0x"),
         ("WrapLongestVerse", "MeasuringCallsAlone", 1, "< 200 us per layout"),
         ("ImportTable", "CopyTable", 1, "well under 1 s per import")]
print(f"{'operation':28} {'per call':>12} {'baseline':>12} {'ratio':>7}  target")
for name, base, calls, goal in pairs:
    a, b = runs[name], runs[base]
    per = a["cpu_time"] / calls
    ratio = a["cpu_time"] / b["cpu_time"]
    unit = a["time_unit"]
    print(f"{name:28} {per:10.1f} {unit} {b['cpu_time'] / calls:10.1f} {unit} {ratio:6.2f}x  {goal}")
PY
