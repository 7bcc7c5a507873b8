#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test.
# Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libpng-dev zlib1g-dev libsimdjson-dev nlohmann-json3-dev libsdl2-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libgtest-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils imagemagick libx11-dev
  weston dpkg-dev file lintian desktop-file-utils appstream unzip
  fonts-dejavu-core libfreetype-dev ninja-build
  clang-14 libclang-rt-14-dev perl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
