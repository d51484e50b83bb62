#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the benchmarks and
# the making of our own Debian package need, only when some of them are
# missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  freeglut3-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dev libx11-dev
  libxi-dev libxrandr-dev libxtst-dev libx11-xcb-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps x11-utils imagemagick xdotool xclip xterm lld
  dpkg-dev file lintian desktop-file-utils appstream man-db
  clang libfuzzer-14-dev libclang-rt-14-dev
  libcairo2-dev libpng-dev libfreetype-dev fonts-dejavu-core libxml2-dev poppler-utils librsvg2-bin python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -qq
$sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
