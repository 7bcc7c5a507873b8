#!/usr/bin/env bash
# Prepares the Windows cross build: Debian's mingw-w64 compiler, zlib for
# mingw, Wine to run the result, and libpng and simdjson cross-built for mingw
# (static) from Debian's own source packages into build-deps/mingw (the prefix
# the windows-cross preset searches), so the cross build never searches the
# host's /usr/include.
# Safe to run again: when everything is in place it returns within a second.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/lib/debian.sh
source scripts/lib/debian.sh
prefix="$root/build-deps/mingw"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
triplet=x86_64-w64-mingw32

install_missing \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
  libz-mingw-w64-dev wine64 dpkg-dev cmake ninja-build \
  xvfb xdotool x11-utils imagemagick libgl1-mesa-dri

# The posix thread model: std::thread and friends, statically linked.
for tool in gcc g++; do
  if [ "$(readlink -f "/usr/bin/$triplet-$tool")" != "$(readlink -f "/usr/bin/$triplet-$tool-posix")" ]; then
    $SUDO update-alternatives --set "$triplet-$tool" "/usr/bin/$triplet-$tool-posix" >/dev/null
  fi
done

build_libpng() {
  cmake_library -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
}

library libpng libpng1.6 lib/libpng16.a
simdjson_library
build_libraries
