#!/usr/bin/env bash
# Makes docs/calculator.png: the calculator in a private X server (Xvfb),
# answering an entry typed with real key events, captured from its window.
# Usage: scripts/screenshot.sh [entry] [output.png]   (default 555.5)
set -euo pipefail
cd "$(dirname "$0")/.."

entry=${1:-555.5}
output=${2:-docs/calculator.png}

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target spektralrechner >/dev/null

# A private server on a display number of its own choosing.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
calculator_pid=""
cleanup() {
  [ -n "$calculator_pid" ] && kill "$calculator_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$display_file")"

build/spektralrechner &
calculator_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the calculator's window did not appear" >&2; exit 1; }

# No window manager: move the window into view and give it the focus.
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool type --delay 60 "$entry"
xdotool key Return
sleep 1.5   # the answer, END's prompt and a few frames

mkdir -p "$(dirname "$output")"
xwd -silent -id "$window" | convert xwd:- "$output"
echo "wrote $output"
