#!/usr/bin/env bash
# Builds the release artefacts and leaves exactly them in build-pkg/:
#   dravik_<version>_amd64.deb               from a release build in build-deb/
#                                            (preset deb; Debian's hardening
#                                            flags, stripped)
#   dravik_<version>_arm64.deb               the same, cross-built for arm64
#                                            (Raspberry Pi OS 64-bit) in
#                                            build-deb-arm64/ (preset deb-arm64)
#   dravik-<version>-windows-x64.zip         from the windows-cross build in build-win/
#   dravik-<version>-windows-x64-setup.exe   the installer of the same files (NSIS)
#   dravik-<version>-web.zip                 the browser build in build-web/: one folder
#                                            with the files the page needs, for any
#                                            static web server
# Installs what is missing first: Debian packages (scripts/setup.sh; CPack
# hands the ELF files it finds with file(1) to dpkg-shlibdeps for the
# package's Depends), the arm64 cross toolchain and libraries
# (scripts/setup-arm64.sh), the mingw-w64 toolchain (scripts/setup-windows.sh)
# and Emscripten with its libraries (scripts/setup-web.sh).
# Usage: scripts/package.sh [arm64]
#   arm64: only (re)builds the arm64 package, replacing it in build-pkg/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
only=${1:-}
case "$only" in "" | arm64) ;; *) echo "usage: $0 [arm64]" >&2; exit 2 ;; esac

# build_deb ARCH PRESET FOLDER: the release build of PRESET (deb or deb-arm64
# in CMakePresets.json) in its FOLDER, with the compiler and linker flags
# Debian builds its own packages with for ARCH (all the hardening features;
# CMake does not read CPPFLAGS, so they join CXXFLAGS), which the preset reads
# from DRAVIK_DEB_CFLAGS, DRAVIK_DEB_CXXFLAGS and DRAVIK_DEB_LDFLAGS; packed
# with cpack.
build_deb() {
  local arch=$1 preset=$2 folder=$3
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_HOST_ARCH=$arch
  DRAVIK_DEB_CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  DRAVIK_DEB_CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  DRAVIK_DEB_LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
  export DRAVIK_DEB_CFLAGS DRAVIK_DEB_CXXFLAGS DRAVIK_DEB_LDFLAGS
  unset DEB_BUILD_MAINT_OPTIONS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  unset DRAVIK_DEB_CFLAGS DRAVIK_DEB_CXXFLAGS DRAVIK_DEB_LDFLAGS
  # DEB_HOST_ARCH also tells dpkg-shlibdeps whose libraries and packages to
  # look up for the Depends.
  (cd "$folder" && cpack -G DEB >/dev/null)
  unset DEB_HOST_ARCH
}

bash scripts/setup.sh
bash scripts/setup-arm64.sh

build_deb arm64 deb-arm64 build-deb-arm64
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb-arm64/CMakeCache.txt)
arm64_deb="dravik_${version}_arm64.deb"
if [ "$only" = arm64 ]; then
  mkdir -p build-pkg
  mv "build-deb-arm64/$arm64_deb" build-pkg/
  ls -l "build-pkg/$arm64_deb"
  exit 0
fi

build_deb "$(dpkg --print-architecture)" deb build-deb

bash scripts/build-windows.sh
# Stripping stamps each PE file with the time it ran; one fixed time (the last
# commit's, as reproducible builds do) gives the zip and the installer the same
# dravik.exe, byte for byte, however far apart the two runs fall.
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
(cd build-win && export SOURCE_DATE_EPOCH=$epoch && cpack -G ZIP >/dev/null && cpack -G NSIS >/dev/null)

# The page: the files its service worker keeps, the worker and the licences,
# in one folder.
bash scripts/web.sh build
web="dravik-${version}-web"
read -ra web_files <<<"sw.js $(sed -n "s/^const files = \[\(.*\)\];$/\1/p" build-web/sw.js | tr -d "'," )"
rm -rf "build-web/$web" "build-web/$web.zip"
mkdir "build-web/$web"
(cd build-web && cp --parents "${web_files[@]}" LICENSES.txt "$web/" &&
  /usr/bin/python3 -c 'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", base_dir=sys.argv[1])' \
    "$web" && rm -r "$web")

deb="dravik_${version}_$(dpkg --print-architecture).deb"
zip="dravik-${version}-windows-x64.zip"
setup="dravik-${version}-windows-x64-setup.exe"
rm -rf build-pkg
mkdir -p build-pkg
mv "build-deb/$deb" "build-deb-arm64/$arm64_deb" "build-win/$zip" "build-win/$setup" \
  "build-web/$web.zip" build-pkg/
ls -l build-pkg/
echo "packages in $root/build-pkg"
