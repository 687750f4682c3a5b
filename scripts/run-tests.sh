#!/usr/bin/env bash
# Sets up, builds and runs every test twice: a normal build, then a build
# with AddressSanitizer and UndefinedBehaviorSanitizer. Then every fuzz
# target runs over its corpus and a few seconds more (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== normal build"
run_suite build
echo "== sanitizer build (ASan + UBSan)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan -DKZ_SANITIZE=ON
echo "== fuzz targets (libFuzzer, a few seconds each)"
bash scripts/fuzz.sh 4
