#!/usr/bin/env bash
# What presentation costs the window thread under Xvfb with Mesa's software
# GL: processor time per second with a still screen, and per new frame while
# every render pass brings one. Needs a build (build/ or the directory given).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
program="$build/bench/presentation_load"
[ -x "$program" ] || { echo "no $program: build first (cmake --build $build)" >&2; exit 1; }

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
read -r -t 10 display_number <&3
DISPLAY=":$display_number" "$program"
