#!/usr/bin/env bash
# Runs every fuzzer for long: scripts/fuzz-long.sh [seconds per fuzzer, default 1800]
# Findings land in build/fuzz-findings/<target>; the corpus grows in build/fuzz-corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1800}
bash scripts/install-deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
for fuzzer in build/asan/fuzz/fuzz_*; do
  name=${fuzzer##*/fuzz_}
  mkdir -p build/fuzz-corpus/$name build/fuzz-findings/$name
  echo "== $name"
  "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build/fuzz-findings/$name/ -print_final_stats=1 \
    build/fuzz-corpus/$name fuzz/corpus/$name 2>&1 | grep -E 'DONE|stat::number_of_executed_units|ERROR|SUMMARY' || true
done
