#!/usr/bin/env bash
# Measures the calculator under Xvfb: key press to changed pixels in its
# window (median and 95th percentile) and CPU use while it waits at the prompt.
# Usage: scripts/measure-keys.sh [presses] [idle_seconds]   (default 60 and 10)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_E2E=ON >/dev/null
cmake --build build -j2 --target spektralrechner measure_keys >/dev/null
build/bench/measure_keys build/spektralrechner "${1:-60}" "${2:-10}"
