#!/usr/bin/env bash
# Builds the Debian package build/spektralrechner_<version>_<architecture>.deb
# with CPack from the normal build folder (configured and built as needed).
# Install it with: sudo apt install ./build/spektralrechner_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target package_contents >/dev/null
rm -f build/spektralrechner_*.deb
log=$(cd build && cpack -G DEB 2>&1) || { echo "$log" >&2; exit 1; }
ls build/spektralrechner_*.deb
