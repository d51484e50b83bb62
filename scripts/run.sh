#!/usr/bin/env bash
# Builds the calculator (both editions) and starts it in a window on the
# current X display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target spektralrechner spektralrechner-console
exec build/spektralrechner "$@"
