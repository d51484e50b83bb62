#!/usr/bin/env bash
# Builds everything twice (a normal build and one with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both: unit tests, and
# end-to-end tests in their own X server. In the sanitizer build every
# program the end-to-end tests start runs with leak detection on, so an exit
# that leaves a block of ours unreachable fails its test. Then builds the
# Debian package from the normal build and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBUILD_E2E=ON -DBUILD_BENCH=OFF
cmake --build build-sanitize -j"$jobs"

echo "== unit and end-to-end tests (normal build)"
ctest --test-dir build --output-on-failure -j"$jobs"
echo "== unit and end-to-end tests (AddressSanitizer + UndefinedBehaviorSanitizer, leak detection on)"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
echo "== Debian package"
scripts/check-package.sh
