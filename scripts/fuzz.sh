#!/usr/bin/env bash
# Fuzzes the Setting.INI reader, the drop classifier and the file-header readers with libFuzzer.
# usage: scripts/fuzz.sh [seconds per target]   (default 60; try 3600 for a long run)
# Inputs that crash are left in build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
# settings: the Setting.INI reader; classifier: the drop classifier and queue;
# file_headers: the readers of PSP files and video headers.
for target in settings classifier file_headers; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== fuzzing $target input for $seconds s"
  build/fuzz/tests/fuzz/${target}_fuzz -max_total_time="$seconds" \
    -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 \
    "$corpus" tests/fuzz/corpus/$target 2>&1 | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|==|SUMMARY)" || true
  test -z "$(ls build/fuzz/findings)" || { echo "a $target input made it fail: build/fuzz/findings"; exit 1; }
done
