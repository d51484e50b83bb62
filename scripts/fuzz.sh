#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds
# (default 60), one after the other. Each keeps its corpus in
# build-fuzz/corpus/<target>; a finding stops the run with the input that
# caused it saved as build-fuzz/findings/<target>-crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON -DBUILD_E2E=OFF -DBUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

mkdir -p build-fuzz/findings
for target in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  echo "== $name for ${seconds} s"
  log="build-fuzz/$name.log"
  status=0
  "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$name-" "build-fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^Done [0-9]+ runs' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "$name: a finding, saved in build-fuzz/findings/"
    exit 1
  fi
done
