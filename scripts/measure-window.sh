#!/usr/bin/env bash
# Start-up and idle figures of a program on the run-time, measured in a
# private Xvfb: exec to window mapped (median of 10, against a bare freeglut
# window), CPU over 10 s of idling, and peak resident memory.
# Usage: scripts/measure-window.sh [PROGRAM]   (default: the calculator)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner measure_window bare_glut_window window_probe
program=${1:-$build/spektralrechner}
exec "$build"/bench/measure_window "$program" "$build"/bench/bare_glut_window
