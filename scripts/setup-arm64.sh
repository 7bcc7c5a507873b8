#!/usr/bin/env bash
# Prepares the arm64 cross build (Raspberry Pi OS 64-bit): Debian's
# crossbuild-essential-arm64, the arm64 libraries from Debian's multiarch
# packages (the arm64 architecture is added to dpkg once), qemu's user-mode
# emulator and the arm64 Mesa to run the result, and simdjson, whose -dev
# package does not co-install for two architectures, cross-built from
# Debian's source package into build-deps/arm64 (the prefix the linux-arm64
# preset searches).
# Safe to run again: when everything is in place it returns within a second.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/lib/debian.sh
source scripts/lib/debian.sh
prefix="$root/build-deps/arm64"
toolchain="$root/cmake/aarch64-linux-gnu.cmake"

if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  echo "Adding the arm64 architecture to dpkg"
  $SUDO dpkg --add-architecture arm64
  apt_get update -qq
  apt_updated=yes
fi

install_missing \
  crossbuild-essential-arm64 cmake ninja-build dpkg-dev file lintian nlohmann-json3-dev \
  libsdl2-dev:arm64 libpng-dev:arm64 zlib1g-dev:arm64 libgtest-dev:arm64 \
  libgl-dev:arm64 libegl-dev:arm64 libopengl-dev:arm64 \
  qemu-user-static libgl1-mesa-dri:arm64 libegl-mesa0:arm64 libglx-mesa0:arm64 \
  xvfb xdotool x11-utils imagemagick

simdjson_library
build_libraries
