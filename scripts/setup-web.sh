#!/usr/bin/env bash
# Prepares the browser build: Debian's Emscripten, and the libraries the game
# links, built with emcc from Debian's own source packages into
# build-deps/web (the prefix the web preset searches). Emscripten's own ports
# of these libraries download at build time, so they are not used.
# Safe to run again: when everything is in place it returns within a second.
# To add a library: a build_<name> function and a `library` line below
# (scripts/lib/debian.sh says how).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/lib/debian.sh
source scripts/lib/debian.sh
prefix="$root/build-deps/web"
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
# Debian's node does not search Debian's node modules; emcc's JS optimiser
# needs acorn from there.
export NODE_PATH=/usr/share/nodejs

install_missing emscripten node-acorn dpkg-dev cmake ninja-build

build_zlib() {
  # zlib's CMake project names a Windows resource file that Debian's source
  # drops; its own configure script works with emcc.
  emconfigure ./configure --static --prefix="$prefix" >/dev/null
  emmake make -j"$(nproc 2>/dev/null || echo 2)" libz.a >/dev/null
  mkdir -p "$prefix/lib" "$prefix/include"
  cp libz.a "$prefix/lib/"
  cp zlib.h zconf.h "$prefix/include/"
}

build_libpng() {
  cmake_library -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_FILES=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include"
}

# In build order: libpng uses zlib.
library zlib zlib lib/libz.a
library libpng libpng1.6 lib/libpng16.a
# The game reads simdjson's error codes and never its exceptions.
simdjson_library -DSIMDJSON_EXCEPTIONS=OFF
build_libraries
