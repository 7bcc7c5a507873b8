#!/usr/bin/env bash
# Builds the two release artefacts and leaves exactly them in build-pkg/:
#   dravik_<version>_amd64.deb          from a release build in build-deb/
#                                       (Debian's hardening flags, stripped)
#   dravik-<version>-windows-x64.zip    from the windows-cross build in build-win/
# Installs what is missing first: Debian packages (scripts/setup.sh; CPack
# hands the ELF files it finds with file(1) to dpkg-shlibdeps for the
# package's Depends) and the mingw-w64 toolchain (scripts/setup-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/setup.sh

# --- the Debian package ------------------------------------------------------
# The compiler and linker flags Debian builds its own packages with (all the
# hardening features); CMake does not read CPPFLAGS, so they join CXXFLAGS.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
unset DEB_BUILD_MAINT_OPTIONS
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DDRAVIK_TESTS=OFF -DDRAVIK_BENCH=OFF -DDRAVIK_TOOLS=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  >/dev/null
cmake --build build-deb -j"$jobs"
(cd build-deb && cpack -G DEB >/dev/null)

# --- the Windows zip -----------------------------------------------------------
bash scripts/build-windows.sh
(cd build-win && cpack -G ZIP >/dev/null)

# --- the two artefacts -------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb/CMakeCache.txt)
deb="dravik_${version}_amd64.deb"
zip="dravik-${version}-windows-x64.zip"
rm -rf build-pkg
mkdir -p build-pkg
mv "build-deb/$deb" "build-win/$zip" build-pkg/
ls -l build-pkg/
echo "packages in $root/build-pkg"
