#!/usr/bin/env bash
# Hardening stage: short fuzz runs of every file reader over the committed
# corpora, one full session of the sanitized game (ASan, UBSan, LeakSanitizer),
# the bad-asset matrix and the stress runs (start/close cycles, resize storm).
# Usage: bash tests/stages/hardening.sh BUILD_DIR SANITIZED_BUILD_DIR
# BUILD_DIR holds the game (dravik) and tests/e2e/x11_close; the sanitized
# build dir holds the sanitized game. Outputs go to BUILD_DIR/hardening.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
asan_build=$(realpath "${2:-$root/build-asan}")
out="$build/hardening"
rm -rf "$out"
mkdir -p "$out"
unset SDL_VIDEODRIVER

# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
# part NAME COMMAND...: runs one part, echoes its lines, adds its counts.
part() {
  local name=$1
  shift
  echo "-- $name --"
  "$@" 2>&1 | tee "$out/$name.log"
  local rc=${PIPESTATUS[0]}
  local p f
  p=$(grep -c '^PASS: ' "$out/$name.log")
  f=$(grep -c '^FAIL: ' "$out/$name.log")
  # A part that fails without a FAIL line (it could not even start) counts once.
  if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
}

for tool in "$build/dravik" "$build/tests/e2e/x11_close" "$asan_build/dravik"; do
  if [ ! -x "$tool" ]; then
    fail "$tool is built"
    closing_line hardening
    exit 1
  fi
done

part fuzz_smoke bash "$root/fuzz/smoke.sh" "$build/fuzz" 30
part sanitized_session bash "$root/tests/hardening/session.sh" "$asan_build/dravik" \
  "$build/tests/e2e/x11_close" "$out/session"
part bad_assets bash "$root/tests/hardening/matrix.sh" "$build/dravik" \
  "$build/tests/e2e/x11_close" "$out/matrix"
# The same faults under the sanitized game, one asset of each kind: the
# error paths of the real start-up with memory and leak checking.
part bad_assets_sanitized env MATRIX_ONLY="data/font.bmp.fnt data/wall.bmp data/road6.png \
data/meshes/display/tree.json data/meshes/colliders/quadCollider.json \
data/shaders/conveyor-map.vert" bash "$root/tests/hardening/matrix.sh" "$asan_build/dravik" \
  "$build/tests/e2e/x11_close" "$out/matrix-asan" 1.5
part stress bash "$root/tests/hardening/stress.sh" "$build/dravik" \
  "$build/tests/e2e/x11_close" "$out/stress" 100 600

closing_line hardening
