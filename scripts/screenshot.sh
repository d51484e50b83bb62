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
captures=$(mktemp -d)
cleanup() {
  [ -n "$calculator_pid" ] && kill "$calculator_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$display_file" "$captures"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$display_file")"

build/spektralrechner &
calculator_pid=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the calculator's window did not appear" >&2; exit 1; }

# No window manager: move the window into view and give it the focus. Keys
# typed before the prompt wait in the calculator's keyboard buffer.
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
xdotool type --delay 60 "$entry"
xdotool key Return

# The answer is complete once END's prompt shows in the last text row (its
# pixel rows hold more than one colour), in a picture that two captures a
# few milliseconds apart agree on: a window can be read half-drawn, in the
# middle of a buffer swap.
complete=no
for _ in $(seq 600); do
  xwd -silent -id "$window" >"$captures/first"
  sleep 0.02
  xwd -silent -id "$window" >"$captures/second"
  if cmp -s "$captures/first" "$captures/second" &&
     [ "$(convert "xwd:$captures/second" -crop 640x16+0+384 +repage -format %k info:)" -gt 1 ]; then
    complete=yes
    break
  fi
  sleep 0.1
done
[ "$complete" = yes ] || { echo "the calculator's answer did not appear" >&2; exit 1; }

mkdir -p "$(dirname "$output")"
convert "xwd:$captures/second" "$output"
echo "wrote $output"
