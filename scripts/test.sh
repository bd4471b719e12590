#!/usr/bin/env bash
# Runs every test: bootstrap, then build and test the linux, linux-asan and
# win32 (under Wine) presets, then a bounded fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/bootstrap.sh

for preset in linux linux-asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

# The code that two threads share, under the thread sanitizer.
echo "=== linux-tsan (log writer, file system, unload)"
cmake --preset linux-tsan >/dev/null
cmake --build --preset linux-tsan --target log_writer_test file_system_test unload_test unload_host qv_host_test_library
ctest --preset linux-tsan -R '^(log_writer_test|file_system_test|unload_test)$'

echo "=== win32 (under Wine)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
./scripts/wine-start.sh build/win32
trap './scripts/wine-stop.sh build/win32' EXIT
ctest --preset win32 -j2
./scripts/wine-stop.sh build/win32
trap - EXIT

echo "=== fuzz"
./scripts/fuzz.sh 30
