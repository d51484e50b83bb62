#!/usr/bin/env bash
# Measures the terminal edition in a pipe: exec to exit of
# `printf '500\n' | spektralrechner-console` (median) beside a minimal C++
# program that reads the line with std::getline and writes it with std::cout
# and beside /bin/true, in the same run; and entries per second over a loop
# of runs.
# Usage: scripts/measure-console.sh [runs] [loop]   (default 100 and 1000)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner-console measure_console line_echo
"$build"/bench/measure_console "$build"/spektralrechner-console "$build"/bench/line_echo "${1:-100}" "${2:-1000}"
