#!/usr/bin/env bash
# Builds everything (a normal build and one with AddressSanitizer and
# UndefinedBehaviorSanitizer), and the unit tests that start threads with
# ThreadSanitizer, and runs the tests: unit tests in all three builds,
# end-to-end tests (in their own X server) in the normal build; then runs
# each fuzz target briefly (scripts/fuzz.sh builds them with clang), and
# builds the Debian package from the normal build and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBUILD_E2E=OFF -DBUILD_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE_THREAD=ON -DBUILD_E2E=OFF -DBUILD_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target thread_tests

echo "== unit and end-to-end tests (normal build)"
ctest --test-dir build --output-on-failure -j"$jobs"
echo "== unit tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
ctest --test-dir build-sanitize --output-on-failure -L unit -j"$jobs"
echo "== unit tests that start threads (ThreadSanitizer)"
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp" ctest --test-dir build-tsan --output-on-failure -L unit -j"$jobs"
echo "== fuzz targets, 20 s each"
scripts/fuzz.sh 20
echo "== Debian package"
scripts/check-package.sh
