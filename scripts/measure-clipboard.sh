#!/usr/bin/env bash
# Measures copy and paste in the calculator's window under Xvfb: release of
# the mouse button to the text readable with xclip, and a 255-character paste
# to its last key on the screen; medians beside a baseline of the same run.
# Usage: scripts/measure-clipboard.sh [rounds]   (default 20)
# BUILD_DIR chooses the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/measure-build.sh spektralrechner measure_clipboard
exec "$build"/bench/measure_clipboard "$build"/spektralrechner "${1:-20}"
