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
prefix="$root/build-deps/mingw"
triplet=x86_64-w64-mingw32

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  libz-mingw-w64-dev wine64 dpkg-dev cmake ninja-build
  xvfb xdotool x11-utils imagemagick libgl1-mesa-dri
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
updated=no
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  updated=yes
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The posix thread model: std::thread and friends, statically linked.
for tool in gcc g++; do
  if [ "$(readlink -f "/usr/bin/$triplet-$tool")" != "$(readlink -f "/usr/bin/$triplet-$tool-posix")" ]; then
    $SUDO update-alternatives --set "$triplet-$tool" "/usr/bin/$triplet-$tool-posix" >/dev/null
  fi
done

have_png=no
have_simdjson=no
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] && have_png=yes
[ -f "$prefix/lib/libsimdjson.a" ] && [ -f "$prefix/lib/cmake/simdjson/simdjson-config.cmake" ] &&
  have_simdjson=yes
if [ "$have_png" = yes ] && [ "$have_simdjson" = yes ]; then
  exit 0
fi

# apt-get source needs a deb-src entry for the archive the machine already
# uses; it is added once, next to the existing sources.
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
  updated=no
fi
if [ "$updated" = no ]; then $SUDO apt-get update -qq; fi

jobs=$(nproc 2>/dev/null || echo 2)

# --- libpng for mingw -------------------------------------------------------
if [ "$have_png" = no ]; then
  work="$root/build-deps/src"
  rm -rf "$work"
  mkdir -p "$work"
  # The newest source version first; the security suite's may not be fetchable,
  # so every listed version is tried until one downloads.
  versions=$(apt-cache showsrc libpng1.6 | awk '/^Version:/{print $2}' | sort -r -V | uniq)
  fetched=no
  for v in $versions; do
    if (cd "$work" && apt-get source -qq --download-only "libpng1.6=$v" >/dev/null 2>&1); then
      echo "libpng1.6 source $v"
      fetched=yes
      break
    fi
  done
  if [ "$fetched" = no ]; then
    echo "setup-windows: could not fetch the libpng1.6 source package" >&2
    exit 1
  fi
  (cd "$work" && dpkg-source -x --no-check ./*.dsc libpng >/dev/null)

  cmake -S "$work/libpng" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON >/dev/null
  cmake --build "$work/build" -j"$jobs" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  echo "libpng for mingw installed in $prefix"
fi

# --- simdjson for mingw -----------------------------------------------------
# The version of the host's libsimdjson-dev, so both builds parse alike.
if [ "$have_simdjson" = no ]; then
  work="$root/build-deps/src-simdjson"
  rm -rf "$work"
  mkdir -p "$work"
  if ! (cd "$work" && apt-get -o DPkg::Lock::Timeout=600 source -qq --download-only \
    simdjson=3.0.1-1 >/dev/null 2>&1); then
    echo "setup-windows: could not fetch the simdjson 3.0.1-1 source package" >&2
    exit 1
  fi
  (cd "$work" && dpkg-source -x --no-check ./*.dsc simdjson >/dev/null)

  cmake -S "$work/simdjson" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSIMDJSON_DEVELOPER_MODE=OFF -DBUILD_SHARED_LIBS=OFF >/dev/null
  cmake --build "$work/build" -j"$jobs" >/dev/null
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  echo "simdjson for mingw installed in $prefix"
fi
