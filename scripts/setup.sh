#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test.
# Safe to run again: only missing packages are installed.
# Packages come without their recommendations, so libdecor's decoration
# plugin, which a desktop's SDL gets that way, is named here: without it a
# Wayland window has no title bar and libdecor says so on standard error.
set -euo pipefail
# shellcheck source=scripts/lib/debian.sh
source "$(dirname "$0")/lib/debian.sh"

install_missing \
  build-essential cmake pkg-config \
  libpng-dev zlib1g-dev libsimdjson-dev nlohmann-json3-dev libsdl2-dev \
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 \
  libgtest-dev googletest libbenchmark-dev \
  xvfb xdotool x11-utils imagemagick libx11-dev \
  weston dpkg-dev file lintian desktop-file-utils appstream unzip nsis \
  libdecor-0-plugin-1-cairo \
  fonts-dejavu-core libfreetype-dev ninja-build \
  clang-14 libclang-rt-14-dev perl
