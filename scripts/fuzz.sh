#!/usr/bin/env bash
# Builds the fuzz targets in fuzz/ with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz and runs each one SECONDS
# (default 10) over its corpus: the seeds the project's writers make, plus
# what earlier runs found interesting. Prints each target's executions and
# coverage; fails when any target finds a crash, a leak, a timeout or a
# broken round trip (the input is kept in build-fuzz/findings).
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
build=build-fuzz
corpus=$build/corpus
findings=$build/findings

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DKZ_FUZZ=ON -DKZ_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target kz_fuzz
"$build/fuzz/make_corpus" "$corpus"
mkdir -p "$findings"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
printf '%-24s %12s %8s %8s  %s\n' target executions cov ft result
for binary in "$build"/fuzz/*_fuzz; do
  target=$(basename "$binary")
  log=$build/$target.log
  mkdir -p "$corpus/$target"
  # -timeout: one input taking seconds is a hang (readers must be linear).
  if "$binary" "$corpus/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$findings/$target-" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $log)"
    failed+=("$target")
  fi
  runs=$(sed -n "s/^stat::number_of_executed_units: *//p" "$log" | tail -1 || true)
  cov=$(grep -o "cov: [0-9]*" "$log" | tail -1 | cut -d" " -f2 || true)
  ft=$(grep -o "ft: [0-9]*" "$log" | tail -1 | cut -d" " -f2 || true)
  printf '%-24s %12s %8s %8s  %s\n' "$target" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
