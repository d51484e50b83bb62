#!/usr/bin/env bash
# Measures the calculator under Xvfb and, in the same X server right after
# it, xterm the same way: key press to changed pixels (median, 95th
# percentile and maximum) and CPU use while each waits for a key, printed
# side by side with their ratio.
# Usage: scripts/measure-keys.sh [presses] [idle_seconds]   (default 100 and 10)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_E2E=ON >/dev/null
cmake --build "$build" -j2 --target spektralrechner measure_keys >/dev/null
"$build"/bench/measure_keys "$build"/spektralrechner "${1:-100}" "${2:-10}" "$(command -v xterm)"
