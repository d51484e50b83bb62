#!/usr/bin/env bash
# Measures --table and --plot beside their baselines (bench/modes/measure_modes.cpp):
# the 0.01-nm grid as a table beside the terminal edition run once for each
# of its entries (a sample, scaled), and --plot of ten entries to PNG beside
# the same diagram drawn by matplotlib (Debian's python3-matplotlib), with
# the time PNG compression alone takes. Prints medians.
# Usage: scripts/measure-modes.sh [runs] [sample]   (default 5 and 300)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner-console spektralrechner-diagram measure_modes
"$build"/bench/measure_modes "$build"/spektralrechner-console /usr/bin/python3 bench/modes/matplotlib_diagram.py \
  data/cie1931_2deg_chromaticity_360_700.csv "${1:-5}" "${2:-300}"
