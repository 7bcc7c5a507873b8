#!/usr/bin/env bash
# The Windows build's executable (build-win/dravik.exe, made by
# scripts/build-windows.sh): a 64-bit GUI program that needs no DLL beyond
# the system's, libpng, zlib and the C++ runtime being linked in.
set -uo pipefail
cd "$(dirname "$0")/../.."
exe=build-win/dravik.exe
# shellcheck source=tests/lib/stage.sh
source tests/lib/stage.sh

headers=$(x86_64-w64-mingw32-objdump -p -f "$exe")
imports=$(awk '/DLL Name:/{print tolower($3)}' <<<"$headers" | sort -u)
echo "  imports: $(echo $imports)"
foreign=$(grep -v -x -E 'kernel32.dll|user32.dll|gdi32.dll|opengl32.dll|msvcrt.dll' <<<"$imports")
check "dravik.exe needs only system DLLs (also: $(echo $foreign))" \
  bash -c "[ -z \"\$0\" ] && grep -q -x opengl32.dll <<<\"\$1\"" "$foreign" "$imports"
check "dravik.exe is a 64-bit Windows program" grep -q 'file format pei-x86-64' <<<"$headers"
check "dravik.exe is a GUI program" grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
closing_line windows
