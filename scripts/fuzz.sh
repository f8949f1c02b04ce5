#!/usr/bin/env bash
# Runs every libFuzzer target for a set time (seconds per target, default 60)
# under AddressSanitizer and UBSan. Committed seeds stay untouched; what the
# fuzzer learns goes to build/fuzz/corpus. Findings land in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
mkdir -p build/fuzz/findings
status=0
for exe in build/fuzz/tests/fuzz/*_fuzz; do
  name=$(basename "$exe" _fuzz)
  mkdir -p "build/fuzz/corpus/$name"
  echo "== $name: ${seconds}s"
  if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$name-" "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name" \
      >"build/fuzz/$name.log" 2>&1; then
    echo "FAILED: $name (see build/fuzz/$name.log)"
    tail -30 "build/fuzz/$name.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "build/fuzz/$name.log" | tail -1
  fi
done
exit $status
