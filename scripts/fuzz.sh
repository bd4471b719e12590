#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers and runs each for
# a bounded time (seconds, default 30) on a copy of its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in request_parser_fuzz; do
  work="build/fuzz/corpus-$target"
  rm -rf "$work" && mkdir -p "$work"
  cp fuzz/corpus/"$target"/* "$work"/
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "build/fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$work" 2>&1 | tail -n 15
  echo "fuzz: $target ran ${seconds}s without a crash, leak or sanitizer report"
done
