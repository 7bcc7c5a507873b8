#!/usr/bin/env bash
# Prepares the browser build: Debian's Emscripten, and the libraries the game
# links, built with emcc from Debian's own source packages into
# build-deps/web (the prefix the web preset searches). Emscripten's own ports
# of these libraries download at build time, so they are not used.
# Safe to run again: when everything is in place it returns within a second.
#
# To add a library: write a build_<name> function (it runs in the unpacked
# source folder; cmake_library covers CMake projects) and one
# `library` line below naming the Debian source package, optionally with an
# exact version, and a file under the prefix whose presence means the library
# is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
prefix="$root/build-deps/web"
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
jobs=$(nproc 2>/dev/null || echo 2)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { $SUDO apt-get -o DPkg::Lock::Timeout=600 "$@"; }
# Debian's node does not search Debian's node modules; emcc's JS optimiser
# needs acorn from there.
export NODE_PATH=/usr/share/nodejs

packages=(emscripten node-acorn dpkg-dev cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- the libraries built from Debian sources ---------------------------------
# build_<name> run in the unpacked source; they install into $prefix.

build_zlib() {
  # zlib's CMake project names a Windows resource file that Debian's source
  # drops; its own configure script works with emcc.
  emconfigure ./configure --static --prefix="$prefix" >/dev/null
  emmake make -j"$jobs" libz.a >/dev/null
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

build_simdjson() {
  # The game reads simdjson's error codes and never its exceptions.
  cmake_library -DSIMDJSON_DEVELOPER_MODE=OFF -DBUILD_SHARED_LIBS=OFF -DSIMDJSON_EXCEPTIONS=OFF
}

# Configures, builds and installs the CMake project in the current folder
# with Emscripten's toolchain, searching the prefix for what it needs.
cmake_library() {
  cmake -S . -B emscripten-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >/dev/null
  cmake --build emscripten-build -j"$jobs" >/dev/null
  cmake --install emscripten-build >/dev/null
}

# library NAME SOURCE-PACKAGE[=VERSION] INSTALLED-FILE: order matters, a
# library may use those above it.
libraries=()
library() { libraries+=("$1 $2 $3"); }
library zlib zlib lib/libz.a
library libpng libpng1.6 lib/libpng16.a
# The version of the host's libsimdjson-dev, so every build parses alike.
library simdjson simdjson=3.0.1-1 lib/libsimdjson.a

todo=()
for entry in "${libraries[@]}"; do
  read -r name _ installed <<<"$entry"
  [ -f "$prefix/$installed" ] || todo+=("$entry")
done
[ ${#todo[@]} -eq 0 ] && exit 0

# apt-get source needs a deb-src entry for the archive the machine already
# uses; it is added once, next to the existing sources (the same file the
# Windows set-up writes).
src_list=/etc/apt/sources.list.d/dravik-deb-src.sources
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "Adding deb-src entries to $src_list"
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    case "$f" in *dravik-deb-src*) continue ;; esac
    # Only the Debian archive's own stanzas (deb.debian.org and its mirrors).
    awk 'BEGIN{RS=""; ORS="\n\n"} /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb +' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"${tmp}.list" || true
    if [ -s "${tmp}.list" ]; then
      $SUDO cp "${tmp}.list" /etc/apt/sources.list.d/dravik-deb-src.list
    fi
    rm -f "${tmp}.list"
  fi
  if [ -s "$tmp" ]; then $SUDO cp "$tmp" "$src_list"; fi
  rm -f "$tmp"
fi
apt_get update -qq

# fetch_source PACKAGE[=VERSION] FOLDER: downloads and unpacks the source
# package into FOLDER. Without a version the newest listed one that downloads
# is taken (the security suite's newest .dsc may not be fetchable).
fetch_source() {
  local spec=$1 dest=$2 package=${1%%=*} versions v
  if [ "$spec" != "$package" ]; then
    versions=${spec#*=}
  else
    versions=$(apt-cache showsrc "$package" | awk '/^Version:/{print $2}' | sort -r -V | uniq)
  fi
  for v in $versions; do
    if (cd "$dest" && apt-get source -qq --download-only "$package=$v" >/dev/null 2>&1); then
      echo "$package source $v"
      (cd "$dest" && dpkg-source -x --no-check ./*.dsc unpacked >/dev/null)
      return 0
    fi
  done
  echo "setup-web: could not fetch the $package source package" >&2
  return 1
}

for entry in "${todo[@]}"; do
  read -r name spec _ <<<"$entry"
  work="$root/build-deps/src-web/$name"
  rm -rf "$work"
  mkdir -p "$work"
  fetch_source "$spec" "$work"
  (cd "$work/unpacked" && "build_$name")
  rm -rf "$work"
  echo "$name for the browser installed in $prefix"
done
rmdir "$root/build-deps/src-web" 2>/dev/null || true
