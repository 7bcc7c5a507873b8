#!/usr/bin/env bash
# Cross-builds the Windows program, build-win/dravik.exe: one statically
# linked 64-bit executable (Win32 + WGL, libpng and zlib inside), made with
# Debian's mingw-w64. Prepares the toolchain and libraries first (fast when
# they are already in place).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-windows.sh
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$(nproc 2>/dev/null || echo 2)"
echo "built $(pwd)/build-win/dravik.exe"
