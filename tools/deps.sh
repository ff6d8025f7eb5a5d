#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not there yet.
# Usage: tools/deps.sh [--bench] [extra package ...]
#   --bench also installs the peer libraries that bench/peers compares kel
#   with (the tests never need them).
set -euo pipefail

bench_packages=()
if [ "${1:-}" = "--bench" ]; then
  bench_packages=(libsdl2-dev libsdl2-gfx-dev libcairo2-dev)
  shift
fi

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core fonts-urw-base35
  libjpeg-dev libpng-dev libgif-dev libx11-dev libxext-dev libxtst-dev
  libcairo2-dev libcups2-dev
  xvfb xdotool x11-apps x11-utils imagemagick python3
  "${bench_packages[@]}" "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
