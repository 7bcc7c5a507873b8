#!/usr/bin/env bash
# The arm64 stage, on the arm64 package scripts/package.sh built and on
# the arm64 game with its unit tests (preset linux-arm64, built by the test
# arm64.build): runs the unit suites under qemu's user-mode emulator (the
# toolchain's CMAKE_CROSSCOMPILING_EMULATOR), checks the package against the amd64 one
# (lintian, files, metadata, Depends, a simulated installation) and plays
# its game under qemu on Xvfb with the arm64 Mesa.
# Usage: tests/stages/arm64.sh BUILD_DIR
#   BUILD_DIR holds the host's tests/e2e/image_probe and x11_close.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
probe="$build/tests/e2e/image_probe"
closer="$build/tests/e2e/x11_close"
out="$build/arm64"
rm -rf "$out"
mkdir -p "$out"
unset SDL_VIDEODRIVER
cd "$root"
# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
work=$(mktemp -d)
trap 'kill_game; stop_xvfb; rm -rf "$work"' EXIT
finish() {
  closing_line arm64
  exit
}
logged() {  # logged LOG COMMAND...: runs it quietly, shows the log's end on failure
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log"; return 1; }
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb-arm64/CMakeCache.txt)
deb="$root/build-pkg/dravik_${version}_arm64.deb"
amd64_deb="$root/build-pkg/dravik_${version}_amd64.deb"
stat -c '  %n: %s bytes' "$deb"

ctest_started=$(date +%s)
# The shadow's differential test runs 200 of its 2,000 seeds here: its
# sequences are the same on every machine, the host runs them all, and each
# takes 70 ms under emulation.
check "the unit suites pass under qemu-aarch64-static" \
  logged "$out/ctest.log" bash -c "cd build-arm64 && DRAVIK_SHADOW_SEEDS=200 ctest --output-on-failure -j2 --timeout 600"
echo "  $(grep -E '^[0-9]+% tests passed' "$out/ctest.log"), in $(($(date +%s) - ctest_started)) s"

lintian -i -I -E --pedantic "$deb" >"$out/lintian.txt" 2>&1
grep -E '^[EWIPX]: ' "$out/lintian.txt" | sed 's/^/  lintian: /'
check "lintian reports no errors or warnings" bash -c "! grep -q '^[EW]: ' '$out/lintian.txt'"
echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
check "the package is for arm64" [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ]
paths() { dpkg-deb -c "$1" | awk '{print $6}' | sort; }
fields() { dpkg-deb -f "$1" Package Version Section Priority Maintainer Description; }
check "the same files as the amd64 package ($(paths "$deb" | wc -l) paths)" \
  cmp -s <(paths "$deb") <(paths "$amd64_deb")
check "the same name, version, section, priority, maintainer and description" \
  [ "$(fields "$deb")" = "$(fields "$amd64_deb" 2>&1)" ]
# dpkg-shlibdeps found the same libraries; simdjson is linked in here.
check "the amd64 package's Depends, less libsimdjson" [ "$(dpkg-deb -f "$deb" Depends)" = \
  "$(dpkg-deb -f "$amd64_deb" Depends 2>&1 | sed 's/, libsimdjson[0-9]* ([^)]*)//')" ]
dpkg-deb -x "$deb" "$work/contents"
binary="$work/contents/usr/lib/games/dravik/dravik"
check "the game is a stripped arm64 program without debug sections" \
  bash -c "file -b '$binary' | grep -q 'ARM aarch64.*, stripped' && ! readelf -S '$binary' | grep -q '\.debug_'"
check "its copyright file carries the notices of the simdjson built in" \
  grep -q "^Comment: simdjson, built into the game's executable" "$work/contents/usr/share/doc/dravik/copyright"
install -D -m 644 "$deb" "$work/deb/$(basename "$deb")"  # readable by apt's download user
check "apt-get can install it among the arm64 packages (simulated)" bash -c \
  "apt-get -s install '$work/deb/$(basename "$deb")' 2>/dev/null | grep -q '^Inst dravik:arm64'"

start_xvfb 150 || { fail "Xvfb starts"; finish; }
mkdir "$work/home"
# The launcher's work by hand: without binfmt_misc a script cannot start an
# arm64 program.
game_command=(env HOME="$work/home" qemu-aarch64-static "$binary")
if launch_game "$work/contents/usr/share/games/dravik" arm64 60; then
  check_drawn arm64 "packaged arm64 game under qemu"
  close_game 30
  check "packaged arm64 game: close request exits with code 0 (got $exit_code)" [ "$exit_code" = 0 ]
  check "packaged arm64 game: nothing on standard error" [ ! -s "$out/arm64.err" ]
  sed 's/^/    /' "$out/arm64.err"
else
  fail "the packaged game opens its window under qemu"
  cat "$out/arm64.err"
fi
finish
