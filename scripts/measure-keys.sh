#!/usr/bin/env bash
# Measures the calculator under a 2560 x 1600 Xvfb at zoom 1 and at a larger
# zoom, side by side with their presses taking turns, and in the same X
# server right after them xterm the same way: key press to changed pixels
# (median, 95th percentile and maximum) and CPU use while each waits for a
# key, printed side by side with their ratios.
# Usage: scripts/measure-keys.sh [presses] [idle_seconds] [zoom]   (default 100, 10 and 2)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner measure_keys
"$build"/bench/measure_keys "$build"/spektralrechner "${1:-100}" "${2:-10}" "$(command -v xterm)" "${3:-2}"
