#!/usr/bin/env bash
# Measures what the calculator costs while nobody uses it, in a private Xvfb:
# the share of a core and the wake-ups a second (context switches) of each
# thread and in total over a span of waiting, at its prompt with the cursor
# blinking and at "Press any key to continue", then xterm and a bare
# freeglut window the same way in the same X server.
# Usage: scripts/measure-idle.sh [seconds]   (default 30)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner measure_idle bare_glut_window
"$build"/bench/measure_idle "$build"/spektralrechner "$build"/bench/bare_glut_window "$(command -v xterm)" "${1:-30}"
