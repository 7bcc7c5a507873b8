#!/usr/bin/env bash
# A whole game session on the AddressSanitizer + UndefinedBehaviorSanitizer
# build under Xvfb: start, frames with keys, a storm of resizes, pause and
# resume, close. Passes only when the game exits 0 with no sanitizer report
# and no leak outside the driver libraries of tests/lsan.supp.
# Usage: tests/stages/sanitized_session.sh BUILD_DIR ASAN_BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
asan_build=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$asan_build/session"
rm -rf "$out"
mkdir -p "$out"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" bash -c '
  game=$1 closer=$2 out=$3
  "$game" >"$out/game.out" 2>"$out/game.err" &
  pid=$!
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --name "^ZOKT 5 Dravik$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then kill "$pid" 2>/dev/null; wait "$pid"; exit 3; fi
  sleep 1
  xdotool windowfocus "$window"
  for key in Right Up Left Down; do xdotool keydown $key; sleep 0.4; xdotool keyup $key; done
  xdotool key space; sleep 0.2; xdotool keydown Right; sleep 0.4; xdotool keyup Right
  xdotool key F2; sleep 0.2; xdotool key F2
  for size in 800x600 1024x700 640x360 1500x900 320x200 1280x720 900x900 1280x720; do
    xdotool windowsize "$window" "${size%x*}" "${size#*x}"
    sleep 0.15
  done
  xdotool key Escape; sleep 0.3; xdotool key Escape; sleep 0.3
  "$closer" "$window"
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; wait "$pid"; exit 4; }
  wait "$pid"
' _ "$asan_build/dravik" "$build/tests/e2e/x11_close" "$out"
code=$?

passed=0
failed=0
if [ "$code" = 0 ]; then passed=$((passed + 1)); echo "PASS: sanitized session exits 0"; else
  failed=$((failed + 1)); echo "FAIL: sanitized session exit code $code"; fi
if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$out/game.err"; then
  failed=$((failed + 1)); echo "FAIL: sanitizer report:"; grep -vE "XDG_RUNTIME_DIR" "$out/game.err" | head -40
else
  passed=$((passed + 1)); echo "PASS: no sanitizer or leak report"
fi
echo "sanitized session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
