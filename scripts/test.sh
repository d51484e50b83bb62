#!/usr/bin/env bash
# Builds everything twice (a normal build and one with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the tests: unit tests in both builds,
# end-to-end tests (in their own X server) in the normal build; then builds
# the Debian package from the normal build and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBUILD_E2E=OFF -DBUILD_BENCH=OFF
cmake --build build-sanitize -j"$jobs"

echo "== unit and end-to-end tests (normal build)"
ctest --test-dir build --output-on-failure -j"$jobs"
echo "== unit tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
ctest --test-dir build-sanitize --output-on-failure -L unit -j"$jobs"
echo "== Debian package"
scripts/check-package.sh
