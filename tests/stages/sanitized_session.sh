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
closer="$build/tests/e2e/x11_close"
game_command=("$asan_build/dravik")
# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
sanitizer_env "$root"

if ! start_xvfb 140; then
  fail "Xvfb starts"
  closing_line "sanitized session"
  exit 1
fi
trap 'kill_game; stop_xvfb' EXIT

if launch_game "$root" game; then
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
  close_game 30
  check "sanitized session exits 0 (got $exit_code)" [ "$exit_code" = 0 ]
else
  kill_game
  fail "sanitized session: window appears"
fi
if sanitizer_clean "$out/game.err"; then
  pass "no sanitizer or leak report"
else
  fail "sanitizer report:"
  grep -vE "XDG_RUNTIME_DIR" "$out/game.err" | head -40
fi
closing_line "sanitized session"
